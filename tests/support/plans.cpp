#include "tests/support/plans.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace plans {

Oracle Read(const std::string& file) {
    std::ifstream in(file);
    Oracle oracle;
    std::vector<Step>* steps = nullptr;
    for (std::string line, kind; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        Step step{false, "", "", ""};
        if (line.empty() || line[0] == '#') continue;
        if (line == "neighbours") {
            steps = &oracle.neighbours;
        } else if (line.rfind("plan ", 0) == 0) {
            oracle.plans.push_back({});
            fields >> kind >> oracle.plans.back().code >> oracle.plans.back().family;
            steps = &oracle.plans.back().steps;
        } else if (steps && std::getline(fields, kind, '\t') && (kind == "key" || kind == "value") &&
                   std::getline(fields, step.path, '\t') && std::getline(fields, step.name, '\t')) {
            std::getline(fields, step.label);
            step.value = kind == "value";
            steps->push_back(step);
        } else {
            throw std::runtime_error(file + ": cannot read \"" + line + "\"");
        }
    }
    // An empty or cut file must not pass tests that loop over nothing.
    for (const Plan& plan : oracle.plans)
        if (plan.steps.empty() || plan.steps.back().label.empty()) throw std::runtime_error(file + ": open group");
    if (oracle.plans.size() != 4 || oracle.neighbours.empty()) throw std::runtime_error(file + ": not 4 plans");
    return oracle;
}

std::string Report(const Plan& plan, const std::function<bool(const Step&)>& ok) {
    std::string report;
    for (const Step& step : plan.steps)
        if (!step.label.empty())
            report +=
                ok(step) ? "++ " + step.label + "\r\n" : "!! " + step.label + " - Failed to delete the (sub) key!\r\n";
    return report;
}

const Oracle& TheOracle() {
    static const Oracle oracle = Read(VANTREL_PLANS_FILE);
    return oracle;
}

}  // namespace plans
