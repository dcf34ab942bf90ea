"""Opens the built tool under Wine, in a sandbox prefix that is never the
user's own: build/sandbox/VERSION, seeded with both product generations'
registry keys so a cleaning has something to remove. Without a display it
starts a virtual one and saves a screenshot of the window instead."""

import json
import os
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import harness  # noqa: E402
import vantrel  # noqa: E402


def window_tree(probe, env):
    """The probe's view of the tool's window once it is ready for input, else None."""
    r = subprocess.run(["wine", str(probe), "tree", vantrel.WINDOW], env=env, capture_output=True)
    tree = json.loads(r.stdout) if r.returncode == 0 and r.stdout.strip() else None
    return tree if tree and tree["focus_id"] == vantrel.NX6 else None


def main():
    version = sys.argv[1] if len(sys.argv) > 1 else "winxp"
    if version not in harness.VERSIONS:
        sys.exit(f"unknown Windows version {version!r}; choose one of: {', '.join(harness.VERSIONS)}")
    family = "9x" if version in ("win95", "win98", "winme") else "NT"
    work = ROOT / "build" / "sandbox"
    prefix = work / version
    if not prefix.exists():
        print(f"Preparing the sandbox prefix {prefix} (first run only, about 20 s)...")
        shutil.copytree(harness.template_prefix(work / "template-work"), prefix, symlinks=True)

    env = dict(os.environ, **harness.WINE_ENV, WINEPREFIX=str(prefix))
    xvfb = None
    if not env.get("DISPLAY"):
        xvfb = harness._Xvfb(work / "xvfb.log").start()
        env["DISPLAY"] = xvfb.display
        print(f"No display: started a virtual one ({xvfb.display}).")

    seed = vantrel.NEIGHBOURS + vantrel.PLANS[("NX6", family)].installed + vantrel.PLANS[("NX7", family)].installed
    reg = work / f"seed-{version}.reg"
    reg.write_text(f'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine]\n"Version"="{version}"\n\n'
                   + vantrel.reg_text(seed)[len("REGEDIT4\n\n"):])
    subprocess.run(["wine", "regedit", "/s", "Z:" + str(reg).replace("/", "\\")], env=env, check=True)
    print(f"Windows version: {version}; the product's keys are in the sandbox registry.")

    exe = vantrel.EXE
    drive_c = prefix / "drive_c"
    app = subprocess.Popen(["wine", str(exe)], env=env, cwd=drive_c)
    try:
        if xvfb is None:
            print("The window is open; close it to end. Saved logs land in", drive_c)
            app.wait()
            return
        probe = harness.probe_path(work / "template-work")
        tree = harness.wait_for(lambda: window_tree(probe, env), timeout=60, what="the tool's window")
        shot = ROOT / "build" / f"run-{version}.png"
        subprocess.run(["import", "-window", "root", str(shot)], env=env, check=True)
        # Just the window, frame and all.
        left, top, right, bottom = tree["window"]
        subprocess.run(["/usr/bin/convert", str(shot), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                        "+repage", str(shot)], check=True)
        print(f"Screenshot of the window: {shot}")
    finally:
        subprocess.run(["wineserver", "-k"], env=env)
        app.wait()
        if xvfb is not None:
            xvfb.stop()


if __name__ == "__main__":
    main()
