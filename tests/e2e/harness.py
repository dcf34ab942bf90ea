"""End-to-end harness: drive Windows programs under Wine on a private X display.

Typical use from a unittest module::

    from harness import Scenario

    with Scenario("nx6_winxp", "winxp") as s:
        app = s.start("/path/to/app.exe")
        win = s.wait_window(classname="Vantrel_GUI")
        s.click_control("Vantrel_GUI", 101)
        box = s.wait_window(classname="#32770", caption="Morvel Vantrel")
        ...

Each Scenario copies a prepared 32-bit Wine prefix (built once per work folder
by template_prefix), runs its own Xvfb, and removes the prefix copy on exit.

Environment variables:
    VANTREL_E2E_WORKDIR        work folder for the template, prefix copies and
                               the probe cache (default /tmp/vantrel-e2e)
    VANTREL_E2E_ARTIFACTS      parent folder of scenario artifact folders
                               (default WORKDIR/artifacts)
    VANTREL_PROBE              path of a prebuilt probe.exe (else built here)
    VANTREL_E2E_TIMEOUT_SCALE  factor applied to every timeout (default 1)
"""

import atexit
import contextlib
import fcntl
import hashlib
import itertools
import json
import os
import random
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
PROBE_SOURCE = HERE / "probe" / "probe.cpp"
PROBE_COMPILER = "i686-w64-mingw32-g++-win32"
PROBE_FLAGS = ["-static", "-O2", "-Wall", "-Wextra"]
PROBE_LIBS = ["-luser32", "-lgdi32"]

WINE_ENV = {
    "WINEARCH": "win32",
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=",
}

VERSIONS = ("win95", "win98", "winme", "nt40", "win2k", "winxp", "win2003", "win10")

SCREEN = "1280x1024x24"

WINE_FONTS = Path("/usr/share/wine/fonts")

# Bump when the way the template is built changes, so old templates are rebuilt.
TEMPLATE_REVISION = 2

TEMPLATE_REG = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Control Panel\Colors]
"TitleText"="255 255 255"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
"""


class ProbeError(RuntimeError):
    """probe.exe failed or reported {"error": ...}; .data holds its JSON if any."""

    def __init__(self, message, data=None):
        super().__init__(message)
        self.data = data


# --------------------------------------------------------------------- helpers


def timeout_scale():
    """Factor applied to all timeouts (VANTREL_E2E_TIMEOUT_SCALE, default 1)."""
    try:
        return max(float(os.environ.get("VANTREL_E2E_TIMEOUT_SCALE", "1")), 0.1)
    except ValueError:
        return 1.0


def default_workdir():
    """The work folder: $VANTREL_E2E_WORKDIR or /tmp/vantrel-e2e."""
    return Path(os.environ.get("VANTREL_E2E_WORKDIR") or "/tmp/vantrel-e2e")


def wait_for(fn, timeout=30, interval=0.1, what="condition", ignore=(ProbeError,)):
    """Poll fn() until it returns a truthy value and return that; else AssertionError."""
    deadline = time.monotonic() + timeout * timeout_scale()
    last_exc = None
    while True:
        try:
            value = fn()
            if value:
                return value
        except ignore as exc:  # transient failures count as "not yet"
            last_exc = exc
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_exc})" if last_exc else ""
            raise AssertionError(f"timed out after {timeout * timeout_scale():.0f}s waiting for {what}{detail}")
        time.sleep(interval)


def _run(cmd, env=None, cwd=None, timeout=120, text=True):
    """Run cmd with output in temporary files, not pipes: the wineserver and
    Wine's service processes inherit a pipe and hold it open for seconds."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = subprocess.run(
            [str(c) for c in cmd], env=env, cwd=cwd, stdin=subprocess.DEVNULL,
            stdout=out, stderr=err, timeout=timeout * timeout_scale())
        out.seek(0)
        err.seek(0)
        stdout, stderr = out.read(), err.read()
    if text:
        stdout = stdout.decode("utf-8", "replace")
        stderr = stderr.decode("utf-8", "replace")
    return subprocess.CompletedProcess(proc.args, proc.returncode, stdout, stderr)


@contextlib.contextmanager
def _file_lock(path):
    """Exclusive advisory lock on path (flock), held for the with-block."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    with open(path, "a+") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(f, fcntl.LOCK_UN)


def _wine_version():
    """The output of `wine --version`, used to tell whether a template is current."""
    return _run(["wine", "--version"], timeout=60).stdout.strip()


class _Xvfb:
    """A private Xvfb server on a free display number."""

    def __init__(self, log_path):
        self.log_path = Path(log_path)
        self.proc = None
        self.number = None

    @property
    def display(self):
        """The DISPLAY string, e.g. ':123'."""
        return f":{self.number}"

    @staticmethod
    def _free(n):
        """True if no X server seems to own display n."""
        return not (Path(f"/tmp/.X11-unix/X{n}").exists() or Path(f"/tmp/.X{n}-lock").exists())

    def _owns_lock(self, n):
        """True if /tmp/.Xn-lock names our Xvfb process."""
        try:
            return int(Path(f"/tmp/.X{n}-lock").read_text().strip()) == self.proc.pid
        except (OSError, ValueError):
            return False

    def start(self, attempts=20):
        """Start Xvfb, retrying other numbers on failure; wait until it answers."""
        self.log_path.parent.mkdir(parents=True, exist_ok=True)
        start = random.randrange(100, 900)
        candidates = (n for n in itertools.chain(range(start, 1000), range(100, start)) if self._free(n))
        for _ in range(attempts):
            n = next(candidates, None)
            if n is None:
                break
            with open(self.log_path, "ab") as log:
                self.proc = subprocess.Popen(
                    ["Xvfb", f":{n}", "-screen", "0", SCREEN, "-nolisten", "tcp"],
                    stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
            self.number = n

            def ready():
                if self.proc.poll() is not None:
                    return "died"
                if not self._owns_lock(n):
                    return None
                r = _run(["xdpyinfo", "-display", self.display], timeout=30)
                return "up" if r.returncode == 0 and self.proc.poll() is None else None

            try:
                state = wait_for(ready, timeout=30, interval=0.1, what=f"Xvfb on :{n}")
            except AssertionError:
                state = "died"
            if state == "up":
                return self
            self.stop()
        raise RuntimeError("could not start Xvfb on any free display")

    def stop(self):
        """Terminate the server (kill it if it does not stop)."""
        if self.proc is None:
            return
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=10)
        self.proc = None


# ------------------------------------------------------------- prefix template


def template_prefix(workdir=None):
    """Return the ready template prefix in workdir, building it once (file-locked)."""
    workdir = Path(workdir or default_workdir())
    workdir.mkdir(parents=True, exist_ok=True)
    prefix = workdir / "template-prefix"
    ready = workdir / "template-prefix.ready"
    version = f"{_wine_version()} template-r{TEMPLATE_REVISION} " + \
        hashlib.sha256(TEMPLATE_REG.encode()).hexdigest()[:12]

    def is_ready():
        return ready.exists() and ready.read_text().strip() == version and prefix.is_dir()

    if is_ready():
        return prefix
    with _file_lock(workdir / "template.lock"):
        if is_ready():
            return prefix
        if ready.exists():
            ready.unlink()
        if prefix.exists():
            shutil.rmtree(prefix)
        _build_template(prefix, workdir)
        ready.write_text(version + "\n")
    return prefix


def _install_wine_fonts(prefix):
    """Copy Wine's own fonts (Tahoma, MS Sans Serif, Marlett, ...) into C:\\windows\\Fonts.

    Debian's Wine 8 does not load them from /usr/share/wine/fonts, so without
    this the UI falls back to unrelated system fonts and the caption buttons
    (drawn with Marlett) show as the letters "0 1 r"."""
    fonts = prefix / "drive_c" / "windows" / "Fonts"
    fonts.mkdir(parents=True, exist_ok=True)
    for src in sorted(WINE_FONTS.glob("*")):
        if src.suffix.lower() in (".ttf", ".fon") and not (fonts / src.name).exists():
            shutil.copy2(src, fonts / src.name)


def _build_template(prefix, workdir):
    """wineboot a fresh 32-bit prefix and import the display and colour settings."""
    log_path = workdir / "template-build.log"
    log_path.write_text("")
    xvfb = _Xvfb(log_path)
    xvfb.start()
    env = dict(os.environ, **WINE_ENV, WINEPREFIX=str(prefix), DISPLAY=xvfb.display)
    t0 = time.monotonic()

    def step(cmd, timeout):
        r = _run(cmd, env=env, timeout=timeout)
        with open(log_path, "a") as log:
            log.write(f"$ {' '.join(map(str, cmd))} -> {r.returncode} "
                      f"({time.monotonic() - t0:.1f}s)\n{r.stdout}{r.stderr}")
        return r

    try:
        r = step(["wineboot", "-i"], 600)
        if r.returncode != 0:
            raise RuntimeError(f"wineboot -i failed ({r.returncode}), see {log_path}")
        step(["wineserver", "-w"], 600)
        _install_wine_fonts(prefix)
        reg_file = prefix / "drive_c" / "vantrel-template.reg"
        reg_file.write_bytes(TEMPLATE_REG.replace("\n", "\r\n").encode("ascii"))
        r = step(["wine", "regedit", "/s", "C:\\vantrel-template.reg"], 300)
        if r.returncode != 0:
            raise RuntimeError(f"regedit failed ({r.returncode}), see {log_path}")
        step(["wineserver", "-w"], 600)
        reg_file.unlink()
        user_reg = (prefix / "user.reg").read_text("utf-8", "replace")
        if '"Default"="1024x768"' not in user_reg or '"ShowCrashDialog"=dword:00000000' not in user_reg:
            raise RuntimeError(f"template settings missing from {prefix}/user.reg")
    except BaseException:
        _run(["wineserver", "-k"], env=env, timeout=60)
        shutil.rmtree(prefix, ignore_errors=True)
        raise
    finally:
        xvfb.stop()


# ---------------------------------------------------------------------- probe


def probe_path(workdir=None):
    """Path of probe.exe: $VANTREL_PROBE, else built once into WORKDIR/probe-cache."""
    given = os.environ.get("VANTREL_PROBE")
    if given:
        if not Path(given).is_file():
            raise FileNotFoundError(f"VANTREL_PROBE={given} does not exist")
        return Path(given)
    cache = Path(workdir or default_workdir()) / "probe-cache"
    digest = hashlib.sha256(PROBE_SOURCE.read_bytes()
                            + " ".join([PROBE_COMPILER] + PROBE_FLAGS + PROBE_LIBS).encode()).hexdigest()[:16]
    exe = cache / f"probe-{digest}.exe"
    if exe.is_file():
        return exe
    with _file_lock(cache / "build.lock"):
        if not exe.is_file():
            tmp = cache / f"probe-{digest}.{os.getpid()}.tmp.exe"
            r = _run([PROBE_COMPILER] + PROBE_FLAGS + ["-o", tmp, PROBE_SOURCE] + PROBE_LIBS, timeout=300)
            if r.returncode != 0:
                raise RuntimeError(f"building probe.exe failed:\n{r.stdout}{r.stderr}")
            os.replace(tmp, exe)
    return exe


# -------------------------------------------------------------------- scenario

_ACTIVE = set()


@atexit.register
def _cleanup_active():
    """Tear down scenarios still open when the interpreter exits."""
    for scenario in list(_ACTIVE):
        scenario.close()


class Scenario:
    """A fresh Wine prefix copy plus a private Xvfb display; use as a context manager."""

    def __init__(self, name, version="winxp", dpi=96, artifacts=None, workdir=None):
        """name: label (artifact folder name); version: Wine Windows version; dpi: LogPixels."""
        if version not in VERSIONS:
            raise ValueError(f"unknown Windows version {version!r}; known: {', '.join(VERSIONS)}")
        self.name = re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        self.version = version
        self.dpi = int(dpi)
        self.workdir = Path(workdir or default_workdir())
        parent = os.environ.get("VANTREL_E2E_ARTIFACTS") or self.workdir / "artifacts"
        self.artifacts = Path(artifacts) if artifacts else Path(parent) / self.name
        self.root = None
        self.prefix = None
        self.tmp = None
        self.env = None
        self.xvfb = None
        self._procs = []
        self._logs = []
        self._counter = itertools.count(1)

    # ---- lifecycle

    def __enter__(self):
        """Copy the template, start Xvfb, set version and dpi."""
        try:
            self._setup()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        """Kill the prefix's processes, stop Xvfb, delete the prefix copy."""
        self.close()
        return False

    def _setup(self):
        """The body of __enter__."""
        self.artifacts.mkdir(parents=True, exist_ok=True)
        template = template_prefix(self.workdir)
        runs = self.workdir / "run"
        runs.mkdir(parents=True, exist_ok=True)
        _ACTIVE.add(self)
        self.root = Path(tempfile.mkdtemp(prefix=f"{self.name}-", dir=runs))
        self.prefix = self.root / "prefix"
        self.tmp = self.root / "tmp"
        self.tmp.mkdir()
        r = _run(["cp", "-a", template, self.prefix], timeout=300)
        if r.returncode != 0:
            raise RuntimeError(f"copying the template failed: {r.stderr}")
        self.xvfb = _Xvfb(self.artifacts / "xvfb.log").start()
        self.env = dict(os.environ, **WINE_ENV, WINEPREFIX=str(self.prefix), DISPLAY=self.xvfb.display)
        self.env.pop("WINESERVER", None)
        self.log(f"prefix {self.prefix} display {self.xvfb.display} version {self.version} dpi {self.dpi}")
        self.reg_import(
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software\\Wine]\n"
            f'"Version"="{self.version}"\n\n'
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
            f'"LogPixels"=dword:{self.dpi:08x}\n')

    def set_screen(self, size):
        """Sets the desktop's size, e.g. "640x480", and ends the prefix's programs:
        a desktop reads its size when it starts, with the next program."""
        self.reg_import(f'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="{size}"\n')
        _run(["wineserver", "-k"], env=self.env, timeout=60)
        self.log(f"screen {size}")

    def close(self):
        """Tear down (idempotent): wineserver -k, stop Xvfb, delete the prefix copy."""
        if self.env is not None and self.prefix is not None and self.prefix.exists():
            try:
                _run(["wineserver", "-k"], env=self.env, timeout=60)
            except subprocess.TimeoutExpired:
                pass
        for proc in self._procs:
            try:
                proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(OSError):
                    os.killpg(proc.pid, 9)
                proc.kill()
                with contextlib.suppress(subprocess.TimeoutExpired):
                    proc.wait(timeout=10)
        self._procs = []
        for f in self._logs:
            f.close()
        self._logs = []
        if self.env is not None and self.prefix is not None and self.prefix.exists():
            with contextlib.suppress(subprocess.TimeoutExpired):
                _run(["wineserver", "-w"], env=self.env, timeout=60)
        if self.xvfb is not None:
            self.xvfb.stop()
            self.xvfb = None
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None
        _ACTIVE.discard(self)

    def log(self, message):
        """Append a timestamped line to ARTIFACTS/harness.log."""
        with open(self.artifacts / "harness.log", "a") as f:
            f.write(f"{time.strftime('%H:%M:%S')} {message}\n")

    # ---- running programs

    def wine(self, *args, cwd=None, timeout=120, text=True):
        """Run `wine ARGS...` to completion in this prefix -> CompletedProcess."""
        r = _run(["wine", *args], env=self.env, cwd=cwd, timeout=timeout, text=text)
        self.log(f"wine {' '.join(map(str, args))} -> {r.returncode}")
        return r

    def start(self, exe_path, cwd=None, args=()):
        """Start `wine EXE ARGS` in the background (cwd defaults to drive C:'s root) -> Popen."""
        n = next(self._counter)
        log = open(self.artifacts / f"{Path(str(exe_path).replace(chr(92), '/')).stem}-{n}.log", "ab")
        self._logs.append(log)
        proc = subprocess.Popen(
            ["wine", str(exe_path), *map(str, args)], env=self.env,
            cwd=str(cwd or self.drive_c), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            start_new_session=True)
        self._procs.append(proc)
        self.log(f"start {exe_path} {' '.join(map(str, args))} pid {proc.pid}")
        return proc

    # ---- paths

    @property
    def drive_c(self):
        """Unix path of drive C: of this prefix."""
        return self.prefix / "drive_c"

    def windows_path_of(self, unix_path):
        """Windows path for a Unix path: C:\\... inside drive_c, else Z:\\...."""
        p = Path(os.path.abspath(unix_path))
        try:
            rel = p.relative_to(self.drive_c)
            return "C:\\" + str(rel).replace("/", "\\") if str(rel) != "." else "C:\\"
        except ValueError:
            return "Z:" + str(p).replace("/", "\\")

    def _tmpfile(self, suffix):
        """A fresh file name in the scenario's scratch folder."""
        return self.tmp / f"f{next(self._counter)}{suffix}"

    # ---- registry

    def reg_import(self, reg_text):
        """Import .reg text (REGEDIT4 -> cp1252, version 5 -> UTF-16) with `regedit /s`."""
        text = reg_text.replace("\r\n", "\n")
        if not (text.startswith("REGEDIT4") or text.startswith("Windows Registry Editor Version 5.00")):
            text = "Windows Registry Editor Version 5.00\n\n" + text
        if not text.endswith("\n"):
            text += "\n"
        text = text.replace("\n", "\r\n")
        path = self._tmpfile(".reg")
        if text.startswith("REGEDIT4"):
            path.write_bytes(text.encode("cp1252"))
        else:
            path.write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
        r = self.wine("regedit", "/s", self.windows_path_of(path))
        if r.returncode != 0:
            raise RuntimeError(f"regedit /s failed ({r.returncode}): {r.stderr}")
        path.unlink()

    def reg_export(self, key):
        """Text of `reg export KEY` (newlines as \\n), or None if the key does not exist."""
        path = self._tmpfile(".reg")
        r = self.wine("reg", "export", key, self.windows_path_of(path), "/y")
        if r.returncode != 0 or not path.exists():
            return None
        data = path.read_bytes()
        path.unlink()
        if data.startswith(b"\xff\xfe"):
            text = data[2:].decode("utf-16-le")
        else:
            text = data.decode("cp1252")
        return text.replace("\r\n", "\n")

    def reg_query_tree(self, key):
        """Sorted lines '[KEY]' and '[KEY] "name"=data' for the subtree; [] if missing."""
        text = self.reg_export(key)
        return [] if text is None else parse_reg_export(text)

    # ---- probe

    def probe(self, *args, check=True, timeout=60):
        """Run probe.exe ARGS in this prefix -> parsed JSON; ProbeError on failure if check."""
        exe = probe_path(self.workdir)
        r = _run(["wine", exe, *args], env=self.env, timeout=timeout, text=False)
        out = r.stdout.strip()
        try:
            data = json.loads(out.decode("ascii")) if out else None
        except (UnicodeDecodeError, ValueError):
            raise ProbeError(f"probe {args}: unreadable output {out[:200]!r} {r.stderr[:500]!r}")
        if check and (r.returncode != 0 or data is None):
            msg = data.get("error") if isinstance(data, dict) else r.stderr[:500]
            raise ProbeError(f"probe {' '.join(map(str, args))}: exit {r.returncode}: {msg}", data)
        return data

    def windows(self):
        """All visible top-level windows (probe `windows`)."""
        return self.probe("windows")

    def find_window(self, classname=None, caption=None):
        """The first visible top-level window matching class and/or caption, or None."""
        for w in self.windows():
            if (classname is None or w["class"] == classname) and (caption is None or w["caption"] == caption):
                return w
        return None

    def wait_window(self, classname=None, caption=None, timeout=30):
        """Wait for a visible top-level window matching class and/or caption -> its dict."""
        return wait_for(lambda: self.find_window(classname, caption), timeout=timeout, interval=0.2,
                        what=f"window class={classname!r} caption={caption!r}")

    def wait_window_gone(self, classname=None, caption=None, timeout=30):
        """Wait until no visible top-level window matches class and/or caption."""
        wait_for(lambda: self.find_window(classname, caption) is None, timeout=timeout, interval=0.2,
                 what=f"window class={classname!r} caption={caption!r} to close")

    def tree(self, classname):
        """probe `tree CLASSNAME` -> dict (window, client, focus_id, children...)."""
        return self.probe("tree", classname)

    def control_center(self, classname, control_id):
        """Screen (x, y) of the centre of a control."""
        t = self.tree(classname)
        for child in t["children"]:
            if child["id"] == control_id:
                x, y, w, h = child["rect"]
                return t["client"][0] + x + w // 2, t["client"][1] + y + h // 2
        raise KeyError(f"no control {control_id} in {classname}")

    def control_text(self, classname, control_id):
        """Whole text of a control as raw ANSI bytes (probe `text`)."""
        path = self._tmpfile(".txt")
        self.probe("text", classname, str(control_id), self.windows_path_of(path))
        data = path.read_bytes()
        path.unlink()
        return data

    def scroll_state(self, classname, control_id):
        """probe `scroll`: first_visible_line, line_count, sel_start, sel_end."""
        return self.probe("scroll", classname, str(control_id))

    def post(self, classname, message, wparam=0, lparam=0):
        """Posts a message to the first visible top-level window of a class (probe `post`)."""
        return self.probe("post", classname, str(message), str(wparam), str(lparam))

    def clip(self, data):
        """Puts bytes on the Windows clipboard as text (probe `clip`), ready to paste."""
        path = self._tmpfile(".txt")
        path.write_bytes(data)
        result = self.probe("clip", self.windows_path_of(path))
        path.unlink()
        return result

    # ---- input and screen

    def xdotool(self, *args, timeout=30):
        """Run xdotool on this display -> CompletedProcess (raises on failure)."""
        r = _run(["xdotool", *args], env=self.env, timeout=timeout)
        if r.returncode != 0:
            raise RuntimeError(f"xdotool {args} failed: {r.stderr}")
        return r

    def click(self, x, y):
        """Left click at screen (x, y)."""
        self.log(f"click {x},{y}")
        self.xdotool("mousemove", str(int(x)), str(int(y)), "click", "1")

    def click_control(self, classname, control_id):
        """Left click at the centre of a control."""
        self.click(*self.control_center(classname, control_id))

    def key(self, *keys):
        """Press keys in order (xdotool key names, e.g. 'Tab', 'ctrl+End')."""
        self.log(f"key {' '.join(keys)}")
        self.xdotool("key", "--delay", "60", *keys)

    def type_text(self, s):
        """Type a string (ASCII is safe; see xdotool type)."""
        self.log(f"type {s!r}")
        self.xdotool("type", "--delay", "40", s)

    def screenshot(self, path):
        """Save a PNG of the whole display; relative paths go into the artifact folder."""
        path = Path(path)
        if not path.is_absolute():
            path = self.artifacts / path
        r = _run(["import", "-window", "root", path], env=self.env, timeout=60)
        if r.returncode != 0:
            raise RuntimeError(f"screenshot failed: {r.stderr}")
        return path

    wait_for = staticmethod(wait_for)


# ------------------------------------------------------------ .reg parsing


def _split_name(line):
    """Split '"name"=data' or '@=data' -> (exported name token, data)."""
    if line.startswith("@="):
        return "@", line[2:]
    i = 1
    while i < len(line):
        if line[i] == "\\":
            i += 2
            continue
        if line[i] == '"':
            break
        i += 1
    token = line[: i + 1]
    rest = line[i + 1:]
    return token, rest[1:] if rest.startswith("=") else rest


def parse_reg_export(text):
    """Normalise .reg text into sorted lines: '[KEY]' and '[KEY] "name"=data'."""
    logical = []
    pending = None
    for raw in text.replace("\r\n", "\n").split("\n"):
        line = raw if pending is None else pending + raw.strip()
        pending = None
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        logical.append(line)
    if pending is not None:
        logical.append(pending)

    entries = []
    key = None
    for line in logical:
        if not line.strip() or line.startswith(("Windows Registry Editor", "REGEDIT4", ";")):
            continue
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            entries.append(((key.split("\\"), 0, ""), f"[{key}]"))
        elif key is not None and (line.startswith('"') or line.startswith("@=")):
            name, data = _split_name(line)
            entries.append(((key.split("\\"), 1, name), f"[{key}] {name}={data}"))
    entries.sort(key=lambda e: e[0])
    return [line for _, line in entries]
