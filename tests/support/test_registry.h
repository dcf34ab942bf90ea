// What the engine tests need of a registry beyond the four entry points:
// seeding keys and values, reading the whole state back, and knowing the
// family. Two backends: the in-memory registry (Linux) and the real one
// (Windows, where the tests run under Wine against its registry).
#pragma once

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace testreg {

enum class Family { NT, Win9x };

// The families a test can run in here: both on Linux, the running
// system's own on Windows.
std::vector<Family> AvailableFamilies();
const char* FamilyName(Family family);
inline void PrintTo(Family family, std::ostream* out) { *out << FamilyName(family); }

// Begin gives the test a registry of the given family; End removes
// whatever the test added that is still there.
void Begin(Family family);
void End();

// Below HKEY_LOCAL_MACHINE; missing parents are created.
void AddKey(const std::string& path);
void AddValue(const std::string& path, const std::string& name);

bool KeyPresent(const std::string& path);
std::vector<std::string> SubKeys(const std::string& path);
std::vector<std::string> ValueNames(const std::string& path);

// Counters only the in-memory registry keeps.
std::optional<int> OpenHandles();
std::optional<long> RegistryCalls();

// Fails the running test if a registry handle is still open (where the
// registry counts them).
void ExpectNoHandleLeft();

// The keys whose whole subtrees make up "the registry" for comparisons:
// everything on Linux; on Windows the places the plans and the tests touch.
std::vector<std::string> WatchedRoots();

// Registry names compare without regard to letter case.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
std::string Fold(const std::string& text);

// A registry state: one line per key ("SOFTWARE\K+LUMO") and per value
// ("SOFTWARE\...\Run | NXGCtrl"), names as stored.
using State = std::set<std::string, NoCaseLess>;
State Snapshot();

}  // namespace testreg
