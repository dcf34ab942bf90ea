// Cleaning runs, every expectation derived from the oracle (tests/plans.txt):
// whole reports, whole registry states and, natively, the deletions in order.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/Vantrel.h"
#include "engine/Vantrel_Keys.h"
#include "tests/support/test_registry.h"

namespace {

using plans::Plan;
using plans::Step;
using testreg::Family;
using testreg::State;
using Lines = std::vector<std::string>;

// The system names that choose each family's plans.
const std::pair<const char*, const char*> kNames[] = {
    {"Windows 98", "9x"}, {"Windows ME", "9x"}, {"Windows NT", "NT"}, {"Windows 2000", "NT"}, {"Windows XP", "NT"}};

const std::vector<Plan>& Plans() { return plans::TheOracle().plans; }
std::wstring Wide(const std::string& text) { return {text.begin(), text.end()}; }

using Which = std::function<bool(const Step&)>;
bool All(const Step&) { return true; }
bool None(const Step&) { return false; }

Lines LinesOf(const std::vector<Step>& entries, const Which& which = All) {
    Lines lines;
    for (const Step& entry : entries) {
        if (which(entry)) lines.push_back(testreg::Line(entry));
    }
    return lines;
}

bool AtOrBelow(const Step& entry, const Step& key) {
    return testreg::Without({testreg::Line(entry)}, {testreg::Line(key)}).empty();
}

std::wstring Clean(const Plan& plan, const char* name = nullptr) {
    for (const auto& row : kNames) {
        if (!name && plan.family == row.second) name = row.first;
    }
    return Vantrel_Keys::CleanProduct(Wide(plan.code), Wide(name));
}

// One line per group, flagged by what ok says of the group's last step.
std::wstring Report(const Plan& plan, const Which& ok) {
    std::wstring report;
    for (const Step& step : plan.steps) {
        if (!step.label.empty()) report += Vantrel::ReportLine(Wide(step.label), ok(step));
    }
    return report;
}

class Cleaning : public testing::TestWithParam<Family> {
protected:
    // A registry holding the chosen entries of the plan and the extra ones,
    // amid the neighbours and every other plan's entries outside this plan's.
    static State Install(const Plan& plan, const Which& which, const std::vector<Step>& extra = {}) {
        testreg::Begin(GetParam());
        std::vector<Step> around = plans::TheOracle().neighbours;
        for (const Plan& other : Plans()) around.insert(around.end(), other.steps.begin(), other.steps.end());
        const Lines mine = LinesOf(plan.steps);
        for (const Step& entry : around) {
            if (!testreg::Without({testreg::Line(entry)}, mine).empty()) testreg::Add(entry);
        }
        for (const Step& entry : plan.steps) {
            if (which(entry)) testreg::Add(entry);
        }
        for (const Step& entry : extra) testreg::Add(entry);
        return testreg::Snapshot();
    }
    void TearDown() override {
        if (const auto handles = testreg::OpenHandles()) {
            EXPECT_EQ(0, *handles) << "registry handles left open";
        }
    }
};

// Nothing installed, a full install (natively also the order of its
// deletions) and a second run, on each name that chooses the plan.
TEST_P(Cleaning, EachPlanOnEachOfItsNames) {
    for (const Plan& plan : Plans()) {
        for (const auto& row : kNames) {
            if (plan.family != row.second) continue;
            SCOPED_TRACE(plan.code + " on " + row.first);
            const State around = Install(plan, None);
            EXPECT_EQ(Report(plan, None), Clean(plan, row.first));
            EXPECT_EQ(around, testreg::Snapshot());

            const State after = testreg::Without(Install(plan, All), LinesOf(plan.steps));
            EXPECT_EQ(Report(plan, All), Clean(plan, row.first));
            if (const auto deletions = testreg::Deletions()) {
                EXPECT_EQ(LinesOf(plan.steps), *deletions);
            }
            EXPECT_EQ(after, testreg::Snapshot());
            EXPECT_EQ(Report(plan, None), Clean(plan, row.first));
            EXPECT_EQ(after, testreg::Snapshot());
        }
    }
}

// Each step's entry missing (with what lies below it), and each key holding
// a subkey the plan does not name: NT keeps that key and the keys above it,
// failing their groups; 98 and ME delete it whole. A group reports its last
// step; every other entry goes.
TEST_P(Cleaning, PartialInstallsAndStrangers) {
    const bool nt = GetParam() == Family::NT;
    for (const Plan& plan : Plans()) {
        for (const Step& step : plan.steps) {
            SCOPED_TRACE(plan.code + " " + plan.family + " without " + testreg::Line(step));
            const auto installed = [&](const Step& entry) { return !AtOrBelow(entry, step); };
            State before = Install(plan, installed);
            EXPECT_EQ(Report(plan, installed), Clean(plan));
            EXPECT_EQ(testreg::Without(before, LinesOf(plan.steps)), testreg::Snapshot());
            if (step.value) continue;

            const Step stranger{false, testreg::Line(step), "Stranger", ""};
            SCOPED_TRACE("with " + testreg::Line(stranger));
            before = Install(plan, All, {stranger});
            const auto gone = [&](const Step& entry) { return !nt || !AtOrBelow(stranger, entry); };
            EXPECT_EQ(Report(plan, gone), Clean(plan));
            EXPECT_EQ(testreg::Without(before, LinesOf(plan.steps, gone)), testreg::Snapshot());
        }
    }
}

TEST_P(Cleaning, OtherCodesAndNamesRunNothing) {
    using namespace std::string_literals;
    testreg::Begin(GetParam());
    for (const Step& entry : plans::TheOracle().neighbours) testreg::Add(entry);
    for (const Plan& plan : Plans()) {
        for (const Step& entry : plan.steps) testreg::Add(entry);
    }
    const State before = testreg::Snapshot();
    const auto calls = testreg::Calls();
    const std::wstring names[] = {L"windows xp", L"WINDOWS 98", L"Windows XP ", L" Windows NT", L"Windows 2000\0"s,
                                  L"Windows Me", L"Windows 95\0\0"s, L"Windows 95 A", L"Win 32s", L"Unknown OS", L""};
    const std::wstring codes[] = {L"nx6", L"Nx7", L"NX8", L"NX6 ", L"NX", L"", L"NX7\0"s};
    for (const Plan& plan : Plans()) {
        for (const std::wstring& name : names) EXPECT_EQ(L"", Vantrel_Keys::CleanProduct(Wide(plan.code), name));
    }
    for (const std::wstring& code : codes) {
        for (const auto& row : kNames) EXPECT_EQ(L"", Vantrel_Keys::CleanProduct(code, Wide(row.first)));
    }
    EXPECT_EQ(calls, testreg::Calls());
    EXPECT_EQ(before, testreg::Snapshot());
}

INSTANTIATE_TEST_SUITE_P(Family, Cleaning, testing::ValuesIn(testreg::Families()),
                         [](const testing::TestParamInfo<Family>& param) { return testreg::Name(param.param); });

}  // namespace
