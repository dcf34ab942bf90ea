#include "tests/support/plans.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace plans {

Oracle Read(const std::string& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file);
    Oracle oracle;
    std::vector<Step>* steps = nullptr;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string kind;
        std::getline(fields, kind, '\t');
        if (line.rfind("plan ", 0) == 0) {
            std::istringstream words(line.substr(5));
            Plan plan;
            words >> plan.code >> plan.family;
            oracle.plans.push_back(plan);
            steps = &oracle.plans.back().steps;
        } else if (line == "neighbours") {
            steps = &oracle.neighbours;
        } else if (steps && (kind == "key" || kind == "value") && line.find("\t\t") == std::string::npos) {
            Step step{kind == "value", {}, {}, {}};
            std::getline(fields, step.path, '\t');
            std::getline(fields, step.name, '\t');
            std::getline(fields, step.label, '\t');
            steps->push_back(step);
        } else {
            throw std::runtime_error(file + ":" + std::to_string(number) + ": cannot read \"" + line + "\"");
        }
    }
    for (const Plan& plan : oracle.plans) {
        if (plan.steps.empty() || plan.steps.back().label.empty()) throw std::runtime_error(file + ": open group");
    }
    if (oracle.plans.empty() || oracle.neighbours.empty()) throw std::runtime_error(file + ": no plans");
    return oracle;
}

const Oracle& TheOracle() {
    static const Oracle oracle = Read(VANTREL_PLANS_FILE);
    return oracle;
}

}  // namespace plans
