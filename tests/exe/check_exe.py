"""Checks the shipped exe as a file: a 32-bit GUI program for Windows 4.0, at
most 40 KiB, importing only what Windows 98 and NT 4 export (the reviewed
list beside this script) and no wide-character function, with its version
record. Usage: check_exe.py EXE; prints each failure, exits 1 on any."""

import re
import struct
import subprocess
import sys
from pathlib import Path

exe = Path(sys.argv[1])
data = exe.read_bytes()
dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(exe)], capture_output=True, text=True, check=True).stdout
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


check(len(data) <= 40 * 1024, f"{len(data)} bytes: more than 40 KiB")
header = dict(re.findall(r"^(\w+)\s+(\S+)", dump, re.M))
for field, want in [("Magic", "010b"), ("Subsystem", "00000002"), ("MajorSubsystemVersion", "4"),
                    ("MinorSubsystemVersion", "0"), ("MajorOSystemVersion", "4"), ("MinorOSystemVersion", "0")]:
    check(header.get(field) == want, f"{field} is {header.get(field)}, not {want}")
check("file format pei-i386" in dump, "not a 32-bit x86 program")

imports = {(dll.upper(), name) for block in re.split(r"\n\s*DLL Name: ", dump)[1:]
           for dll in [block.split()[0]] for name in re.findall(r"^\t[0-9a-f]+\s+\d+\s+(\S+)$", block, re.M)}
reviewed = {(dll.upper(), name) for dll, name in
            (line.split() for line in (Path(__file__).with_name("win98_nt4_imports.txt").read_text().splitlines())
             if line.strip() and not line.startswith("#"))}
check(imports, "no imports found")
check(imports <= reviewed, f"not on the reviewed list: {sorted(imports - reviewed)}")
# Windows 98 has most wide-character functions only as stubs that fail.
check(not [name for _, name in imports if re.search("[a-z0-9]W$", name)], "imports a wide-character function")

# FILEVERSION and PRODUCTVERSION 1.1.0.0; a 32-bit Windows application.
fixed = data.find(b"\xbd\x04\xef\xfe")
fields = struct.unpack_from("<13I", data, fixed) if fixed >= 0 else (0,) * 13
check(fields[2:6] == (0x10001, 0, 0x10001, 0) and fields[8:10] == (4, 1), "fixed version record")
for key, value in [("", "040904B0"), ("FileVersion", "1.01"), ("ProductVersion", "1.01"),
                   ("FileDescription", "Nimbrax Registry Cleaner"), ("ProductName", "Morvel Vantrel"),
                   ("InternalName", "Morvel_Vantrel_Only6+7"), ("OriginalFilename", "Morvel_Vantrel_Only6+7.exe")]:
    pattern = (re.escape(key.encode("utf-16-le")) + rb"\0\0(\0\0)?" if key else b"") + re.escape(
        value.encode("utf-16-le")) + rb"\0\0"
    check(re.search(pattern, data), f"version string {key or 'block'} {value!r}")

print(f"{exe.name}: {len(data)} bytes, {len(imports)} imports")
for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
