"""The measurements behind scripts/bench, taken side by side in one Wine
prefix (Windows XP) on a private X display. Times are medians of several
rounds."""

import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
BUILD = ROOT / "build" / "e2e"
os.environ.setdefault("VANTREL_EXE", str(BUILD / "Morvel_Vantrel_Only6+7.exe"))
os.environ.setdefault("VANTREL_PROBE", str(BUILD / "tests" / "vantrel_probe.exe"))
os.environ.setdefault("VANTREL_E2E_WORKDIR", str(BUILD / "e2e"))
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Scenario, wait_for  # noqa: E402
from vantrel import EXE, LM, NX6, PLANS, WINDOW, reg_text  # noqa: E402

BARE = BUILD / "tests" / "bench_bare_window.exe"
CLEAN = BUILD / "tests" / "bench_clean.exe"
ROUNDS = 5


def peak_kib(exe_name):
    """VmHWM of the Linux process that runs a Windows program."""
    for pid in os.listdir("/proc"):
        try:
            if exe_name.encode() in Path(f"/proc/{pid}/cmdline").read_bytes():
                for line in Path(f"/proc/{pid}/status").read_text().splitlines():
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1])
        except (OSError, ValueError):
            continue
    return None


def start_to_ready(s, exe, ready):
    """Seconds from starting the program to its window taking input; the
    program's peak memory then; and the program is closed again."""
    t0 = time.monotonic()
    process = s.start(exe)
    wait_for(ready, timeout=60, interval=0.02, what=f"{exe.name} ready")
    seconds = time.monotonic() - t0
    peak = peak_kib(exe.name)
    s.wine("taskkill", "/im", exe.name, "/f")  # ends it without asking
    process.wait(timeout=30)
    return seconds, peak


def removal_reg(plan):
    """The same deletions as a plan, as a .reg file an administrator would import."""
    lines = ["REGEDIT4", ""]
    for entry in plan.removed:
        key, _, value = entry.partition(" | ")
        lines += [f"[{LM}{key}]", f'"{value}"=-', ""] if value else [f"[-{LM}{key}]", ""]
    return "\n".join(lines) + "\n"


def timed(fn):
    t0 = time.monotonic()
    fn()
    return time.monotonic() - t0


def main():
    plan = PLANS[("NX6", "NT")]
    results = {}
    with Scenario("bench_winxp", "winxp") as s:
        s.wine("wineboot")  # a warm prefix, as on a machine in use
        tool_ready, bare_ready, tool_peak, bare_peak = [], [], [], []
        for _ in range(ROUNDS):
            seconds, peak = start_to_ready(s, EXE, lambda: s.tree(WINDOW)["focus_id"] == NX6)
            tool_ready.append(seconds)
            tool_peak.append(peak or 0)
            seconds, peak = start_to_ready(s, BARE, lambda: s.find_window(classname="BareWindow"))
            bare_ready.append(seconds)
            bare_peak.append(peak or 0)

        reg_file = s.drive_c / "remove.reg"
        reg_file.write_text(removal_reg(plan).replace("\n", "\r\n"))
        clean_process, clean_inside, regedit = [], [], []
        for _ in range(ROUNDS):
            s.reg_import(reg_text(plan.installed))
            out = []
            clean_process.append(timed(lambda: out.append(s.wine(CLEAN, "NX6", "Windows XP").stdout)))
            assert out[0].split("\n", 1)[1].replace("\r", "") == plan.all_done().replace("\r", ""), out[0]
            clean_inside.append(float(out[0].split("\n", 1)[0]) / 1e6)
            s.reg_import(reg_text(plan.installed))
            regedit.append(timed(lambda: s.wine("regedit", "/s", "C:\\remove.reg")))
            assert s.reg_query_tree(LM + "SOFTWARE\\K+LUMO") == []

    ms = lambda values: f"{statistics.median(values) * 1000:.0f} ms"  # noqa: E731
    rows = [
        ("exe size", f"{EXE.stat().st_size // 1024} KiB ({EXE.stat().st_size} bytes)",
         f"{BARE.stat().st_size // 1024} KiB (bare window)"),
        ("start to window ready for input", ms(tool_ready), ms(bare_ready) + " (bare window)"),
        ("peak memory (Wine process, VmHWM)", f"{statistics.median(tool_peak) // 1024} MiB",
         f"{statistics.median(bare_peak) // 1024} MiB (bare window)"),
        ("one whole cleaning, NX6 on XP (26 steps)", ms(clean_process) + " as a process",
         ms(regedit) + " (regedit /s of a .reg removal file)"),
        ("  of which CleanProduct itself", f"{statistics.median(clean_inside) * 1e6:.0f} us", ""),
    ]
    width = max(len(r[0]) for r in rows)
    print(f"Morvel Vantrel under Wine ({subprocess.run(['wine', '--version'], capture_output=True, text=True).stdout.strip()}), "
          f"Windows XP, median of {ROUNDS} rounds")
    for name, tool, other in rows:
        print(f"{name:<{width}}  {tool:<28}  {other}")


if __name__ == "__main__":
    main()
