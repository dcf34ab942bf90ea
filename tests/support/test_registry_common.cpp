#include "tests/support/test_registry.h"

namespace testreg {

const char* Name(Family family) { return family == Family::NT ? "NT" : "Win9x"; }

std::string Line(const plans::Step& entry) { return entry.path + (entry.value ? " | " : "\\") + entry.name; }

State Without(const State& state, const std::vector<std::string>& lines) {
    State left = state;
    for (const std::string& gone : lines) {
        for (auto it = left.begin(); it != left.end();) {
            const bool below = it->rfind(gone + "\\", 0) == 0 || it->rfind(gone + " | ", 0) == 0;
            it = *it == gone || below ? left.erase(it) : std::next(it);
        }
    }
    return left;
}

State Walk(const std::vector<std::string>& roots) {
    State state;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        const std::string& key = roots[i];
        if (!key.empty()) state.insert(key);
        for (const std::string& value : ValueNames(key)) state.insert(key + " | " + value);
        std::vector<std::string> children;
        for (const std::string& child : SubKeys(key)) children.push_back(key.empty() ? child : key + "\\" + child);
        state.merge(Walk(children));
    }
    return state;
}

}  // namespace testreg
