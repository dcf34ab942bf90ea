// The narrow seam between the portable program and the operating system.
//
// Everything the engine needs from Windows passes through these few calls:
// the four registry entry points, the version query, and the conversion
// between the program's wide strings and the ANSI code page. On Windows they
// are the real API (platform/win32); on Linux an in-memory registry stands
// behind them (platform/memory).
#pragma once

#include <cstdint>
#include <string>

namespace sys {

// A registry handle as the 32-bit API passes it; 0 is "no key".
using RegHandle = std::uint32_t;

constexpr RegHandle kHkeyLocalMachine = 0x80000002u;

// Return codes the program relies on, as the platform defines them.
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;

// The ANSI registry entry points of advapi32, one to one.
long OpenKey(RegHandle root, const std::string& path, RegHandle* key);
long DeleteKey(RegHandle key, const std::string& subkey);
long DeleteRegValue(RegHandle key, const std::string& value);
long CloseKey(RegHandle key);

// The five fields of the ANSI version record that name the system, with
// szCSDVersion kept whole (128 bytes, not cut at its first NUL).
struct VersionRecord {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platform = 0;
    char csd[128] = {};
};

// Fills the record from GetVersionExA. A failed query leaves it zero, and so
// does the Linux build, which has no version to report.
void QueryVersion(VersionRecord* record);

// Wide <-> ANSI code page, character for character. Characters the code
// page lacks become its replacement character.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

}  // namespace sys
