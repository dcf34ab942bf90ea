#include <algorithm>

#include "tests/support/test_registry.h"

namespace testreg {

std::string Line(const plans::Step& entry) { return entry.path + (entry.value ? " | " : "\\") + entry.name; }

State Without(const State& state, const std::vector<std::string>& lines) {
    State left;
    for (const std::string& line : state) {
        const auto below = [&line](const std::string& key) {
            return line.compare(0, key.size(), key) == 0 &&
                   (line.size() == key.size() || line[key.size()] == '\\' || line.compare(key.size(), 3, " | ") == 0);
        };
        if (std::none_of(lines.begin(), lines.end(), below)) left.insert(line);
    }
    return left;
}

std::string Difference(const State& want, const State& got) {
    std::string difference;
    for (const std::string& line : want)
        if (!got.count(line)) difference += "\n  missing " + line;
    for (const std::string& line : got)
        if (!want.count(line)) difference += "\n  extra   " + line;
    return difference;
}

State Walk(const std::vector<std::string>& roots) {
    State state;
    for (const std::string& key : roots) {
        if (!key.empty()) state.insert(key);
        for (const std::string& value : Names(key, true)) state.insert(key + " | " + value);
        for (const std::string& child : Names(key, false)) state.merge(Walk({(key.empty() ? "" : key + "\\") + child}));
    }
    return state;
}

}  // namespace testreg
