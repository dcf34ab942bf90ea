// The Windows backend: the real registry of the (Wine) system the test
// program runs on. Everything a test creates is logged and removed by End,
// children before parents, so NT's refusal to delete a key with subkeys
// never leaves anything behind.
#include <windows.h>

#include <utility>

#include "tests/support/test_registry.h"

namespace testreg {
namespace {

std::vector<std::string> g_created_keys;
std::vector<std::pair<std::string, std::string>> g_created_values;

HKEY Open(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

// Creates each missing key along the path, logging it.
void Create(const std::string& path) {
    std::string::size_type end = 0;
    while (end != std::string::npos) {
        end = path.find('\\', end + 1);
        const std::string prefix = path.substr(0, end);
        if (KeyPresent(prefix)) continue;
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, prefix.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
            g_created_keys.push_back(prefix);
        }
    }
}

}  // namespace

// Asked of the system directly, not of the code under test: GetVersion
// sets the high bit on the Windows 95 family.
std::vector<Family> AvailableFamilies() {
    return {(::GetVersion() & 0x80000000u) != 0 ? Family::Win9x : Family::NT};
}

void Begin(Family) { End(); }

void End() {
    for (auto it = g_created_values.rbegin(); it != g_created_values.rend(); ++it) {
        if (HKEY key = Open(it->first)) {
            ::RegCloseKey(key);
            HKEY writable = nullptr;
            if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, it->first.c_str(), 0, KEY_SET_VALUE, &writable) == ERROR_SUCCESS) {
                ::RegDeleteValueA(writable, it->second.c_str());
                ::RegCloseKey(writable);
            }
        }
    }
    for (auto it = g_created_keys.rbegin(); it != g_created_keys.rend(); ++it) {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, it->c_str());
    }
    g_created_keys.clear();
    g_created_values.clear();
}

void AddKey(const std::string& path) { Create(path); }

void AddValue(const std::string& path, const std::string& name) {
    Create(path);
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    const char data[] = "1";
    ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
    ::RegCloseKey(key);
    g_created_values.emplace_back(path, name);
}

bool KeyPresent(const std::string& path) {
    HKEY key = Open(path);
    if (key) ::RegCloseKey(key);
    return key != nullptr;
}

std::vector<std::string> SubKeys(const std::string& path) {
    std::vector<std::string> names;
    HKEY key = Open(path);
    if (!key) return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    ::RegCloseKey(key);
    return names;
}

std::vector<std::string> ValueNames(const std::string& path) {
    std::vector<std::string> names;
    HKEY key = Open(path);
    if (!key) return names;
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    ::RegCloseKey(key);
    return names;
}

std::optional<int> OpenHandles() { return std::nullopt; }
std::optional<long> RegistryCalls() { return std::nullopt; }

std::vector<std::string> WatchedRoots() {
    return {
        "SOFTWARE\\VantrelTest",
        "SOFTWARE\\K+LUMO",
        "SOFTWARE\\K+LUMO2",
        "SOFTWARE\\K-LUMO",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunService",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "SYSTEM\\ControlSet001\\Services",
        "SYSTEM\\ControlSet002\\Services",
    };
}

}  // namespace testreg
