"""Checks the shipped exe as a file: a 32-bit GUI program for subsystem 4.0,
at most 40 KiB, with the version record it should carry, importing only
functions that Windows 98 and NT 4 have (the list beside this script) and
no wide-character one."""

import re
import struct
import sys
import unittest
from pathlib import Path

EXE = Path(sys.argv.pop(1) if len(sys.argv) > 1 else "build/win32/Morvel_Vantrel_Only6+7.exe")
ALLOWED = Path(__file__).with_name("win98_nt4_imports.txt")
MAX_SIZE = 40 * 1024


class Pe:
    """Just enough of the PE format to read the header and the import table."""

    def __init__(self, data):
        self.data = data
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[self.pe:self.pe + 4] == b"PE\0\0"
        self.machine, self.sections_count = struct.unpack_from("<HH", data, self.pe + 4)
        optional_size = struct.unpack_from("<H", data, self.pe + 20)[0]
        self.optional = self.pe + 24
        self.magic = struct.unpack_from("<H", data, self.optional)[0]
        (self.os_major, self.os_minor, _, _, self.subsystem_major,
         self.subsystem_minor) = struct.unpack_from("<6H", data, self.optional + 40)
        self.subsystem = struct.unpack_from("<H", data, self.optional + 68)[0]
        self.import_rva = struct.unpack_from("<I", data, self.optional + 96 + 8)[0]
        self.sections = []
        table = self.optional + optional_size
        for i in range(self.sections_count):
            _, vsize, va, rawsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((va, max(vsize, rawsize), raw))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError(f"rva {rva:#x} in no section")

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """{(dll in upper case, function name)} of the import table."""
        found = set()
        entry = self.offset(self.import_rva)
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<5I", self.data, entry)
            if name == 0:
                return found
            dll = self.cstring(name).upper()
            at = self.offset(lookup or thunks)
            while (thunk := struct.unpack_from("<I", self.data, at)[0]) != 0:
                assert not thunk & 0x80000000, f"{dll} imported by ordinal"
                found.add((dll, self.cstring(thunk + 2)))
                at += 4
            entry += 20


def allowed_imports():
    lines = (line.split("#")[0].split() for line in ALLOWED.read_text().splitlines())
    return {(dll.upper(), function) for dll, function in (line for line in lines if line)}


class ShippedExe(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = EXE.read_bytes()
        cls.pe = Pe(cls.data)

    def test_a_small_32_bit_gui_program_for_windows_4(self):
        print(f"{EXE.name}: {len(self.data)} bytes")
        self.assertLessEqual(len(self.data), MAX_SIZE)
        self.assertEqual(0x14C, self.pe.machine)  # i386
        self.assertEqual(0x10B, self.pe.magic)  # PE32
        self.assertEqual(2, self.pe.subsystem)  # Windows GUI
        self.assertEqual((4, 0), (self.pe.subsystem_major, self.pe.subsystem_minor))
        self.assertEqual((4, 0), (self.pe.os_major, self.pe.os_minor))

    def test_imports_only_what_windows_98_and_nt_4_export(self):
        imports = self.pe.imports()
        self.assertEqual({"ADVAPI32.DLL", "GDI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL", "USER32.DLL"},
                         {dll for dll, _ in imports})
        self.assertEqual(set(), imports - allowed_imports(), "imports missing from the reviewed list")
        # Windows 98 has most ...W functions only as stubs that fail.
        self.assertEqual([], sorted(name for _, name in imports if re.search("[a-z0-9]W$", name)))

    def test_version_record(self):
        def utf16(text):
            return re.escape(text.encode("utf-16-le"))
        # FILEVERSION and PRODUCTVERSION 1.1.0.0, an application for 32-bit Windows.
        fixed = re.search(rb"\xbd\x04\xef\xfe", self.data)
        self.assertIsNotNone(fixed)
        fields = struct.unpack_from("<13I", self.data, fixed.start())
        self.assertEqual((0x00010001, 0, 0x00010001, 0), fields[2:6])
        self.assertEqual((4, 1), (fields[8], fields[9]))  # VOS__WINDOWS32, VFT_APP
        self.assertRegex(self.data, utf16("040904B0"))
        for key, value in [("FileVersion", "1.01"), ("ProductVersion", "1.01"),
                           ("FileDescription", "Nimbrax Registry Cleaner"), ("ProductName", "Morvel Vantrel"),
                           ("InternalName", "Morvel_Vantrel_Only6+7"),
                           ("OriginalFilename", "Morvel_Vantrel_Only6+7.exe")]:
            self.assertRegex(self.data, utf16(key) + rb"\0\0(\0\0)?" + utf16(value) + rb"\0\0", key)


if __name__ == "__main__":
    unittest.main(verbosity=2)
