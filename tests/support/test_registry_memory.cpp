// Natively: the in-memory registry behind the seam, in either family.
#include "platform/memory/memory_registry.h"
#include "tests/support/test_registry.h"

namespace testreg {

using sys::TheMemoryRegistry;

std::vector<Family> Families() { return {Family::NT, Family::Win9x}; }
void Begin(Family family) { TheMemoryRegistry().Reset(family == Family::NT ? sys::Family::NT : sys::Family::Win9x); }

void Add(const plans::Step& entry) {
    if (entry.value)
        TheMemoryRegistry().SetValue(entry.path, entry.name, "1");
    else
        TheMemoryRegistry().CreateKey(entry.path + "\\" + entry.name);
}

std::vector<std::string> Names(const std::string& path, bool values) {
    return values ? TheMemoryRegistry().ValueNames(path) : TheMemoryRegistry().SubKeys(path);
}
State Snapshot() { return Walk({""}); }

std::optional<long> Calls() { return TheMemoryRegistry().calls(); }
std::optional<int> OpenHandles() { return TheMemoryRegistry().open_handles(); }
std::optional<std::vector<std::string>> Deletions() { return TheMemoryRegistry().deletions(); }

}  // namespace testreg
