#include "tests/support/test_registry.h"

#include <gtest/gtest.h>

namespace testreg {
namespace {

std::string Join(const std::string& path, const std::string& name) {
    return path.empty() ? name : path + "\\" + name;
}

void Walk(const std::string& path, State* state) {
    if (!path.empty()) state->insert(path);
    for (const std::string& value : ValueNames(path)) state->insert(path + " | " + value);
    for (const std::string& child : SubKeys(path)) Walk(Join(path, child), state);
}

}  // namespace

std::string Fold(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const { return Fold(a) < Fold(b); }

const char* FamilyName(Family family) { return family == Family::NT ? "NT" : "Win9x"; }

void ExpectNoHandleLeft() {
    if (const auto handles = OpenHandles()) {
        EXPECT_EQ(0, *handles) << "registry handles left open";
    }
}

State Snapshot() {
    State state;
    for (const std::string& root : WatchedRoots()) {
        if (root.empty() || KeyPresent(root)) Walk(root, &state);
    }
    return state;
}

}  // namespace testreg
