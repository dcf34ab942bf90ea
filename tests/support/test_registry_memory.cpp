// The Linux backend: the in-memory registry behind the seam.
#include "platform/memory/memory_registry.h"
#include "tests/support/test_registry.h"

namespace testreg {
namespace {
sys::MemoryRegistry& Registry() { return sys::TheMemoryRegistry(); }
}  // namespace

std::vector<Family> AvailableFamilies() { return {Family::NT, Family::Win9x}; }

void Begin(Family family) {
    Registry().Reset(family == Family::NT ? sys::Family::NT : sys::Family::Win9x);
}

void End() {}

void AddKey(const std::string& path) { Registry().CreateKey(path); }
void AddValue(const std::string& path, const std::string& name) { Registry().SetValue(path, name, "1"); }
bool KeyPresent(const std::string& path) { return Registry().Exists(path); }
std::vector<std::string> SubKeys(const std::string& path) { return Registry().SubKeys(path); }
std::vector<std::string> ValueNames(const std::string& path) { return Registry().ValueNames(path); }

std::optional<int> OpenHandles() { return Registry().open_handles(); }
std::optional<long> RegistryCalls() { return Registry().calls(); }

std::vector<std::string> WatchedRoots() { return {""}; }

}  // namespace testreg
