// What each cleaning plan must remove, read from tests/plans.txt: the one
// place the tests keep the plans' steps, labels and look-alike neighbours.
// Plain ASCII strings, so that native and Windows programs alike can use it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace plans {

// One deletion below HKEY_LOCAL_MACHINE; a label closes a group.
struct Step {
    bool value;  // a value of the key at path, else the subkey path\name
    std::string path, name, label;
};

struct Plan {
    std::string code, family;  // e.g. "NX6", "9x" or "NT"
    std::vector<Step> steps;
};

struct Oracle {
    std::vector<Plan> plans;
    std::vector<Step> neighbours;  // look-alikes no plan may touch
};

// The report a run of the plan gives: one line a group, "++" where ok says the
// group's last step was done, "!!" where not.
std::string Report(const Plan& plan, const std::function<bool(const Step& last)>& ok);

// Reads the file; an unreadable or malformed file throws std::runtime_error.
Oracle Read(const std::string& file);

// The file this build was configured with (VANTREL_PLANS_FILE), read once.
const Oracle& TheOracle();

}  // namespace plans
