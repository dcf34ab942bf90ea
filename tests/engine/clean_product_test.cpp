// Cleaning runs, every expectation derived from the oracle (tests/plans.txt):
// whole reports, whole registry states and, natively, the deletions in order.
#include <gtest/gtest.h>

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

// The system names that choose each family's plans.
const std::pair<const char*, const char*> kNames[] = {
    {"Windows 98", "9x"}, {"Windows ME", "9x"}, {"Windows NT", "NT"}, {"Windows 2000", "NT"}, {"Windows XP", "NT"}};

const std::vector<Plan>& Plans() { return plans::TheOracle().plans; }
std::wstring Wide(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::string> Lines(const std::vector<Step>& entries) {
    std::vector<std::string> lines;
    for (const Step& entry : entries) lines.push_back(testreg::Line(entry));
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
template <typename Ok>
std::wstring Report(const Plan& plan, Ok ok) {
    std::wstring report;
    for (const Step& step : plan.steps) {
        if (!step.label.empty()) report += Vantrel::ReportLine(Wide(step.label), ok(step));
    }
    return report;
}
std::wstring Report(const Plan& plan, bool ok) { return Report(plan, [ok](const Step&) { return ok; }); }

class Cleaning : public testing::TestWithParam<Family> {
protected:
    // A registry holding the given entries of the plan, amid the neighbours
    // and the other plans' entries that lie outside this plan's.
    static State Install(const Plan& plan, const std::vector<Step>& entries) {
        testreg::Begin(GetParam());
        std::vector<Step> around = plans::TheOracle().neighbours;
        for (const Plan& other : Plans()) around.insert(around.end(), other.steps.begin(), other.steps.end());
        for (const Step& entry : around) {
            if (testreg::Without({testreg::Line(entry)}, Lines(plan.steps)).size() == 1) testreg::Add(entry);
        }
        for (const Step& entry : entries) testreg::Add(entry);
        return testreg::Snapshot();
    }
    static bool nt() { return GetParam() == Family::NT; }
    void TearDown() override {
        if (const auto handles = testreg::OpenHandles()) {
            EXPECT_EQ(0, *handles) << "registry handles left open";
        }
    }
};

TEST_P(Cleaning, EachPlanOnEachOfItsNamesNothingAFullInstallAndASecondRun) {
    for (const Plan& plan : Plans()) {
        for (const auto& row : kNames) {
            if (plan.family != row.second) continue;
            SCOPED_TRACE(plan.code + " on " + row.first);
            const State around = Install(plan, {});
            EXPECT_EQ(Report(plan, false), Clean(plan, row.first));
            EXPECT_EQ(around, testreg::Snapshot());

            const State before = Install(plan, plan.steps);
            EXPECT_EQ(Report(plan, true), Clean(plan, row.first));
            if (const auto deletions = testreg::Deletions()) {
                std::vector<std::string> expected;
                for (const Step& step : plan.steps) {
                    expected.push_back((step.value ? "RegDeleteValueA(" : "RegDeleteKeyA(") + step.path + ", " +
                                       step.name + ")");
                }
                EXPECT_EQ(expected, *deletions);
            }
            const State after = testreg::Without(before, Lines(plan.steps));
            EXPECT_EQ(after, testreg::Snapshot());
            EXPECT_EQ(Report(plan, false), Clean(plan, row.first));
            EXPECT_EQ(after, testreg::Snapshot());
        }
    }
}

// Without one entry (and what lies below it) a group reports its last step.
TEST_P(Cleaning, PartialInstalls) {
    for (const Plan& plan : Plans()) {
        for (const Step& missing : plan.steps) {
            SCOPED_TRACE(plan.code + " " + plan.family + " without " + testreg::Line(missing));
            std::vector<Step> installed;
            for (const Step& step : plan.steps) {
                if (!AtOrBelow(step, missing)) installed.push_back(step);
            }
            const State before = Install(plan, installed);
            EXPECT_EQ(Report(plan, [&](const Step& last) { return !AtOrBelow(last, missing); }), Clean(plan));
            EXPECT_EQ(testreg::Without(before, Lines(plan.steps)), testreg::Snapshot());
        }
    }
}

// A key of the plan holding a subkey the plan does not name: NT keeps it with
// the keys above it and fails their groups; 98 and ME delete the subtree.
TEST_P(Cleaning, StrangerBelowAKeyOfThePlan) {
    for (const Plan& plan : Plans()) {
        for (const Step& key : plan.steps) {
            if (key.value) continue;
            const Step stranger{false, testreg::Line(key), "Stranger", ""};
            SCOPED_TRACE(plan.code + " " + plan.family + " with " + testreg::Line(stranger));
            std::vector<Step> installed = plan.steps;
            installed.push_back(stranger);
            const State before = Install(plan, installed);
            const auto kept = [&](const Step& entry) { return nt() && AtOrBelow(stranger, entry); };
            EXPECT_EQ(Report(plan, [&](const Step& last) { return !kept(last); }), Clean(plan));
            std::vector<Step> gone;
            for (const Step& entry : plan.steps) {
                if (!kept(entry)) gone.push_back(entry);
            }
            EXPECT_EQ(testreg::Without(before, Lines(gone)), testreg::Snapshot());
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
