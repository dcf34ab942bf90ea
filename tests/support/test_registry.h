// The registry the engine tests run against: the in-memory one natively (both
// families), the real one under Wine (the running system's family), seeded
// from the oracle's steps and read back whole.
#pragma once

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/plans.h"

namespace testreg {

enum class Family { NT, Win9x };
std::vector<Family> Families();
// How GoogleTest prints a family, in test names and failures: by its name.
inline void PrintTo(Family family, std::ostream* out) { *out << (family == Family::NT ? "NT" : "Win9x"); }

// Leaves a registry of the family holding nothing that a test added.
void Begin(Family family);
// Seeds a step's key (path\name) or value, creating missing parents.
void Add(const plans::Step& entry);
inline void Add(const std::vector<plans::Step>& entries) {
    for (const plans::Step& entry : entries) Add(entry);
}

// A registry state: one line per key ("path") and per value ("path | name").
using State = std::set<std::string>;
std::string Line(const plans::Step& entry);
State Snapshot();  // natively all of it; on Windows the places tests touch
// The state less the given lines and everything below them.
State Without(const State& state, const std::vector<std::string>& lines);
// What got lacks of want and has beyond it, a line an entry ("missing X",
// "extra X"); empty when they are the same.
std::string Difference(const State& want, const State& got);

// What only the in-memory registry can tell; deletions as lines, in order.
std::optional<long> Calls();
std::optional<int> OpenHandles();
std::optional<std::vector<std::string>> Deletions();

// Each backend's enumeration of a key's subkeys or values, and a walk over it.
std::vector<std::string> Names(const std::string& path, bool values);
State Walk(const std::vector<std::string>& roots);

}  // namespace testreg
