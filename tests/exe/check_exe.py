"""Checks the shipped exe as a file: a 32-bit GUI program for Windows 4.0, at
most 40 KiB, importing only what Windows 95 and NT 4 export from kernel32,
user32, gdi32 and advapi32 (the reviewed list beside this script), with its
version record, and nothing but 80386 instructions in its code. The link map
beside the exe tells code from the data the linker puts among it.
Usage: check_exe.py EXE; prints each failure, exits 1 on any."""

import re
import struct
import subprocess
import sys
from pathlib import Path

exe = Path(sys.argv[1])
data = exe.read_bytes()
objdump = "i686-w64-mingw32-objdump"
dump = subprocess.run([objdump, "-p", str(exe)], capture_output=True, text=True, check=True).stdout
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
reviewed = {(dll.upper(), name) for dll, name, *_ in
            (line.split() for line in (Path(__file__).with_name("win95_nt4_imports.txt").read_text().splitlines())
             if line.strip() and not line.startswith("#"))}
check(imports and imports <= reviewed, f"none found, or not on the reviewed list: {sorted(imports - reviewed)}")

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

# The 80386's instructions, from the list beside this script.
words = [line.split() for line in Path(__file__).with_name("i386_instructions.txt").read_text().splitlines()
         if line.strip() and not line.startswith("#")]
PREFIXES = set(words[0][1:])
I386 = {word for line in words[1:] for word in line}
link_map = exe.with_suffix(".map").read_text()
text = link_map[link_map.index("\n.text "):link_map.index("\n.data ")]
# Code: the input sections named .text, .text$..., .init and .fini. The
# constructor and destructor lists the linker writes among them are data.
ranges = [(int(start, 16), int(start, 16) + int(size, 16)) for start, size in
          re.findall(r"^ \.(?:text|init|fini)\S*\s+0x([0-9a-f]+)\s+0x([0-9a-f]+) ", text, re.M)]
check(ranges, "no code found in the link map")
listing = "".join(subprocess.run([objdump, "-d", "-M", "intel", f"--start-address={start}", f"--stop-address={stop}",
                                  str(exe)], capture_output=True, text=True, check=True).stdout
                  for start, stop in ranges)
outside = {}
for address, instruction in re.findall(r"^\s*([0-9a-f]+):\t[0-9a-f ]+\t(.*)$", listing, re.M):
    words = instruction.split()
    while len(words) > 1 and words[0] in PREFIXES:
        words.pop(0)
    operands = " ".join(words[1:])
    # nop with an operand is the Pentium Pro's long nop (0f 1f).
    if words[0] not in I386 or re.search(r"\b[xy]?mm\d", operands) or (words[0] == "nop" and operands):
        outside.setdefault(instruction, address)
check(not outside, f"{len(outside)} kinds of instruction the 80386 lacks, first at: {sorted(outside.items())[:8]}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
