"""Makes the release zip as the package target does, with CPack in the build
folder, and checks it: the exe and README.TXT and nothing else, its SHA-256
file, README.TXT as plain ASCII with CR LF line ends and lines of at
most 76 characters, and its list of deletions equal to the plans of
tests/plans.txt, step for step with every report label.
Usage: check_package.py CPACK BUILD_DIR PLANS; prints each failure, exits 1 on any."""

import difflib
import hashlib
import re
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path

cpack, build, plans_file = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
shutil.rmtree(build / "package", ignore_errors=True)  # no zip left from an earlier run
subprocess.run([cpack, "--config", build / "CPackConfig.cmake", "-B", build / "package"], check=True)
package = build / "package" / "Morvel_Vantrel-1.01.zip"
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


checksum = Path(f"{package}.sha256").read_text().split()
check(checksum == [hashlib.sha256(package.read_bytes()).hexdigest(), package.name], f"checksum file {checksum}")
with zipfile.ZipFile(package) as archive:
    names = sorted(archive.namelist())
    text = archive.read("README.TXT") if "README.TXT" in names else b""
check(names == ["Morvel_Vantrel_Only6+7.exe", "README.TXT"], f"the zip holds {names}")
check(text.isascii() and text.endswith(b"\r\n") and text.count(b"\n") == text.count(b"\r\n") == text.count(b"\r"),
      "README.TXT is not plain ASCII with CR LF line ends")
lines = text.decode("ascii", "replace").split("\r\n")
check(all(len(line) <= 76 for line in lines), f"README.TXT lines over 76: {[l for l in lines if len(l) > 76]}")

# Each plan, as plans.txt has it: a heading, then one line a step and one
# for each report label.
FAMILIES = {"9x": "Windows 98 and ME", "NT": "Windows NT 4, 2000 and XP"}
want = []
for line in plans_file.read_text().split("\nneighbours\n")[0].splitlines():
    fields = line.split("\t")
    if line.startswith("plan "):
        code, family = line.split()[1:]
        want.append(f'"Nimbrax {code[2:]}" on {FAMILIES[family]}')
    elif fields[0] in ("key", "value"):
        want.append(f"Key {fields[1]}\\{fields[2]}" if fields[0] == "key" else f"Value {fields[2]} in {fields[1]}")
    if len(fields) == 4:
        want.append(f"Report: ++ {fields[3]}")
# README.TXT's list, its broken lines joined again.
listing = re.sub(r"\r\n +(?=\\)", "", "\r\n".join(lines))
got = []
for line in listing.split("\r\n"):
    heading = re.fullmatch(r'("[^"]+" on .+): \d+ deletions, \d+ report lines', line)
    step = re.fullmatch(r" +\d+\. (Key|Value) +(.*)", line)
    if heading or step or line.startswith("      Report: "):
        got.append(heading[1] if heading else f"{step[1]} {step[2]}" if step else line.strip())
check(got == want, "README.TXT's list differs from the plans:\n" + "\n".join(
    difflib.unified_diff(want, got, "plans.txt", "README.TXT", lineterm="")))

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
