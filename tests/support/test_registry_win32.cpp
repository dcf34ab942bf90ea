// Under Wine: the real registry of the running system. Snapshots cover the
// places the oracle names and the tests' own key; Begin removes whatever
// entered them since the first snapshot, children first.
#include <windows.h>

#include "tests/support/test_registry.h"

namespace testreg {
namespace {

HKEY Open(const std::string& path) {
    HKEY key = nullptr;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

// Stops at the first error: Wine's Perflib\009 never says "no more". Leaves
// out what Wine itself changes or doubles: the values its display driver
// rewrites whenever a desktop starts, and the link to ControlSet001.
std::vector<std::string> Names(const std::string& path, bool values) {
    std::vector<std::string> names;
    HKEY key = Open(path);
    char name[16384];
    for (DWORD i = 0; key; ++i) {
        DWORD size = sizeof name;
        if ((values ? ::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr)
                    : ::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr)) != ERROR_SUCCESS)
            break;
        const std::string skipped = values ? "DriverDateData" : path == "SYSTEM" ? "CurrentControlSet" : "";
        if (::lstrcmpiA(name, skipped.c_str()) != 0) names.emplace_back(name, size);
    }
    if (key) ::RegCloseKey(key);
    return names;
}

// Each step's parent key (the key itself below a top key such as SOFTWARE),
// where it exists.
State Snapshot() {
    std::vector<plans::Step> entries = plans::TheOracle().neighbours;
    for (const plans::Plan& plan : plans::TheOracle().plans)
        entries.insert(entries.end(), plan.steps.begin(), plan.steps.end());
    State roots = {"SOFTWARE\\VantrelTest"};
    for (const plans::Step& e : entries) roots.insert(e.path.find('\\') == std::string::npos ? Line(e) : e.path);
    std::vector<std::string> present;
    for (const std::string& root : roots)
        if (HKEY key = Open(root); key && ::RegCloseKey(key) == ERROR_SUCCESS) present.push_back(root);
    return Walk(present);
}

// GetVersion sets its high bit on the Windows 95 family.
std::vector<Family> Families() { return {(::GetVersion() & 0x80000000u) ? Family::Win9x : Family::NT}; }

void Begin(Family) {
    static const State baseline = Snapshot();
    const State now = Snapshot();
    for (auto line = now.rbegin(); line != now.rend(); ++line) {
        const auto bar = line->find(" | ");
        if (baseline.count(*line)) continue;
        if (bar == std::string::npos)
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, line->c_str());
        else
            ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, line->substr(0, bar).c_str(), line->c_str() + bar + 3);
    }
}

void Add(const plans::Step& entry) {
    HKEY key = nullptr;
    ::RegCreateKeyA(HKEY_LOCAL_MACHINE, (entry.value ? entry.path : Line(entry)).c_str(), &key);
    if (entry.value) ::RegSetValueExA(key, entry.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    ::RegCloseKey(key);
}

std::optional<long> Calls() { return std::nullopt; }
std::optional<int> OpenHandles() { return std::nullopt; }
std::optional<std::vector<std::string>> Deletions() { return std::nullopt; }

}  // namespace testreg
