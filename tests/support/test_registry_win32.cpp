// Under Wine: the real registry of the running system. Snapshots cover the
// places the oracle names and the tests' own key; Begin removes whatever
// entered them since the first snapshot, children first.
#include <windows.h>

#include "tests/support/test_registry.h"

namespace testreg {
namespace {

std::vector<std::string> Roots() {
    std::vector<plans::Step> entries = plans::TheOracle().neighbours;
    for (const plans::Plan& plan : plans::TheOracle().plans) entries.insert(entries.end(), plan.steps.begin(), plan.steps.end());
    State roots = {"SOFTWARE\\VantrelTest"};
    // A step's parent key, unless that is a top key such as SOFTWARE.
    for (const plans::Step& entry : entries) {
        roots.insert(entry.path.find('\\') == std::string::npos ? entry.path + "\\" + entry.name : entry.path);
    }
    // Walk each subtree once: only roots not below another.
    State outermost = roots;
    for (const std::string& root : roots) {
        if (outermost.count(root)) outermost = Without(outermost, {root}), outermost.insert(root);
    }
    return {outermost.begin(), outermost.end()};
}

HKEY Open(const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

template <typename Enumerate>
std::vector<std::string> Names(const std::string& path, Enumerate enumerate) {
    std::vector<std::string> names;
    if (HKEY key = Open(path, KEY_READ)) {
        char name[16384];
        for (DWORD i = 0, size = sizeof name; enumerate(key, i, name, &size) == ERROR_SUCCESS; ++i, size = sizeof name) {
            names.emplace_back(name, size);
        }
        ::RegCloseKey(key);
    }
    return names;
}

}  // namespace

std::vector<std::string> SubKeys(const std::string& path) {
    return Names(path, [](HKEY key, DWORD i, char* name, DWORD* size) {
        return ::RegEnumKeyExA(key, i, name, size, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::string> ValueNames(const std::string& path) {
    return Names(path, [](HKEY key, DWORD i, char* name, DWORD* size) {
        return ::RegEnumValueA(key, i, name, size, nullptr, nullptr, nullptr, nullptr);
    });
}

State Snapshot() {
    static const std::vector<std::string> roots = Roots();
    std::vector<std::string> present;
    for (const std::string& root : roots) {
        if (HKEY key = Open(root, KEY_READ)) present.push_back(root), ::RegCloseKey(key);
    }
    return Walk(present);
}

// GetVersion sets its high bit on the Windows 95 family.
std::vector<Family> Families() { return {(::GetVersion() & 0x80000000u) ? Family::Win9x : Family::NT}; }

void Begin(Family) {
    static const State baseline = Snapshot();
    const State now = Snapshot();
    for (auto line = now.rbegin(); line != now.rend(); ++line) {
        if (baseline.count(*line)) continue;
        const auto bar = line->find(" | ");
        if (bar == std::string::npos) {
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, line->c_str());
        } else if (HKEY key = Open(line->substr(0, bar), KEY_SET_VALUE)) {
            ::RegDeleteValueA(key, line->substr(bar + 3).c_str());
            ::RegCloseKey(key);
        }
    }
}

void Add(const plans::Step& entry) {
    HKEY key = nullptr;
    const std::string path = entry.value ? entry.path : entry.path + "\\" + entry.name;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)) return;
    if (entry.value) ::RegSetValueExA(key, entry.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    ::RegCloseKey(key);
}

std::optional<long> Calls() { return std::nullopt; }
std::optional<int> OpenHandles() { return std::nullopt; }
std::optional<std::vector<std::string>> Deletions() { return std::nullopt; }

}  // namespace testreg
