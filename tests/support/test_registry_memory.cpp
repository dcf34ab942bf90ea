// Natively: the in-memory registry behind the seam, in either family.
#include "platform/memory/memory_registry.h"
#include "tests/support/test_registry.h"

namespace testreg {
namespace {
sys::MemoryRegistry& Registry() { return sys::TheMemoryRegistry(); }
}  // namespace

std::vector<Family> Families() { return {Family::NT, Family::Win9x}; }
void Begin(Family family) { Registry().Reset(family == Family::NT ? sys::Family::NT : sys::Family::Win9x); }

void Add(const plans::Step& entry) {
    if (entry.value) Registry().SetValue(entry.path, entry.name, "1");
    else Registry().CreateKey(entry.path + "\\" + entry.name);
}

std::vector<std::string> Names(const std::string& path, bool values) {
    return values ? Registry().ValueNames(path) : Registry().SubKeys(path);
}
State Snapshot() { return Walk({""}); }

std::optional<long> Calls() { return Registry().calls(); }
std::optional<int> OpenHandles() { return Registry().open_handles(); }
std::optional<std::vector<std::string>> Deletions() { return Registry().deletions(); }

}  // namespace testreg
