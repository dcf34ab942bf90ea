// The seam on Windows: one line per API call, raw results handed back.
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace sys {
namespace {

HKEY ToHkey(RegHandle handle) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(handle)); }

RegHandle FromHkey(HKEY key) { return static_cast<RegHandle>(reinterpret_cast<std::uintptr_t>(key)); }

}  // namespace

long OpenKey(RegHandle root, const std::string& path, RegHandle* key) {
    // Windows 98 does not clear the handle when the key is missing, so it
    // starts at 0 here and only the API may change it.
    HKEY opened = nullptr;
    const long rc = ::RegOpenKeyA(ToHkey(root), path.c_str(), &opened);
    *key = FromHkey(opened);
    return rc;
}

// NT refuses a key that still has subkeys (access denied); 98 and ME delete
// the key together with its whole subtree.
long DeleteKey(RegHandle key, const std::string& subkey) { return ::RegDeleteKeyA(ToHkey(key), subkey.c_str()); }

long DeleteRegValue(RegHandle key, const std::string& value) { return ::RegDeleteValueA(ToHkey(key), value.c_str()); }

long CloseKey(RegHandle key) { return ::RegCloseKey(ToHkey(key)); }

void QueryVersion(VersionRecord* record) {
    OSVERSIONINFOA info;
    static_assert(sizeof info == 148, "the ANSI version record is 148 bytes");
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    ::GetVersionExA(&info);  // a failure leaves the zeros, read as "Unknown OS"
    record->major = info.dwMajorVersion;
    record->minor = info.dwMinorVersion;
    record->build = info.dwBuildNumber;
    record->platform = info.dwPlatformId;
    std::memcpy(record->csd, info.szCSDVersion, sizeof record->csd);
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& text) {
    if (text.empty()) return std::wstring();
    // The explicit length converts embedded NULs too, character for character.
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, &out[0], size);
    return out;
}

}  // namespace sys
