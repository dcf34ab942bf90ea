// The engine: cleaning runs, every expectation derived from the oracle
// (tests/plans.txt): whole reports (so every report line's two forms), whole
// registry states and, natively, the deletions in order; then the registry
// operations. A comparison of whole states stops its test at the first
// difference, so that one fault reads as one difference.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/Vantrel.h"
#include "engine/Vantrel_Keys.h"
#include "tests/support/test_registry.h"

namespace {

using namespace plans;
using namespace testreg;

// The system names that choose each family's plans.
const std::map<std::string, std::vector<std::string>> kNames = {
    {"9x", {"Windows 98", "Windows ME"}},                   // 98 and ME
    {"NT", {"Windows NT", "Windows 2000", "Windows XP"}}};  // NT 4, 2000 and XP

using Which = std::function<bool(const Step&)>;
bool All(const Step&) { return true; }
bool None(const Step&) { return false; }

std::vector<std::string> LinesOf(const std::vector<Step>& entries, const Which& which = All) {
    std::vector<std::string> lines;
    for (const Step& entry : entries)
        if (which(entry)) lines.push_back(Line(entry));
    return lines;
}

bool AtOrBelow(const Step& entry, const Step& key) { return Without({Line(entry)}, {Line(key)}).empty(); }

std::wstring Clean(const Plan& plan, const std::string& name) {
    return Vantrel_Keys::CleanProduct({plan.code.begin(), plan.code.end()}, {name.begin(), name.end()});
}

// Lines in order as a state, each numbered, so that a difference names
// the place of the line that differs.
State Numbered(const std::string& what, const std::vector<std::string>& lines) {
    State numbered;
    for (std::size_t i = 0; i < lines.size(); ++i)
        numbered.insert(what + (i < 9 ? " 0" : " ") + std::to_string(i + 1) + ": " + lines[i]);
    return numbered;
}

// A run's whole result as one state: the registry, and the report's lines,
// each ended by CR LF (so the last, after the final one, is empty). The
// report wanted is the oracle's: "++" where a group's last step goes.
State Result(State registry, const std::string& report) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(report.substr(start, end - start));
    lines.push_back(report.substr(start));
    registry.merge(Numbered("report line", lines));
    return registry;
}
State Cleaned(const Plan& plan, const std::string& name) {
    const std::string report = sys::ToAnsi(Clean(plan, name));
    return Result(testreg::Snapshot(), report);
}

// States compared whole; a failure names each line missing or extra.
testing::AssertionResult Same(const char*, const char*, const State& want, const State& got) {
    if (want == got) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "differs:" << Difference(want, got) << "\n";
}
#define ASSERT_SAME(want, got) ASSERT_PRED_FORMAT2(Same, want, got)

class Cleaning : public testing::TestWithParam<Family> {
protected:
    // A registry holding the chosen entries of the plan and the extra ones,
    // amid the neighbours and every other plan's entries outside this plan's.
    static State Install(const Plan& plan, const Which& which, const std::vector<Step>& extra = {}) {
        testreg::Begin(GetParam());
        std::vector<Step> around = plans::TheOracle().neighbours;
        for (const Plan& other : TheOracle().plans) around.insert(around.end(), other.steps.begin(), other.steps.end());
        const std::vector<std::string> mine = LinesOf(plan.steps);
        for (const Step& entry : around)
            if (!Without({Line(entry)}, mine).empty()) testreg::Add(entry);
        for (const Step& entry : plan.steps)
            if (which(entry)) testreg::Add(entry);
        for (const Step& entry : extra) testreg::Add(entry);
        return testreg::Snapshot();
    }
};

// A full install, then a second run, which finds nothing of the plan
// installed, on each name that chooses the plan.
TEST_P(Cleaning, EachPlanOnEachOfItsNames) {
    for (const Plan& plan : TheOracle().plans) {
        for (const std::string& name : kNames.at(plan.family)) {
            const State after = Without(Install(plan, All), LinesOf(plan.steps));
            ASSERT_SAME(Result(after, Report(plan, All)), Cleaned(plan, name)) << plan.code << " on " << name;
            ASSERT_SAME(Result(after, Report(plan, None)), Cleaned(plan, name)) << plan.code << " again on " << name;
        }
    }
}

// Each step's entry missing (with what lies below it), and each key holding
// a subkey the plan does not name: NT keeps that key and the keys above it,
// failing their groups; 98 and ME delete it whole. A group reports its last
// step; every other entry goes.
TEST_P(Cleaning, PartialInstallsAndStrangers) {
    const bool nt = GetParam() == Family::NT;
    for (const Plan& plan : TheOracle().plans) {
        const std::string name = kNames.at(plan.family).front();
        for (const Step& step : plan.steps) {
            const auto installed = [&](const Step& entry) { return !AtOrBelow(entry, step); };
            State before = Install(plan, installed);
            ASSERT_SAME(Result(Without(before, LinesOf(plan.steps)), Report(plan, installed)), Cleaned(plan, name))
                << plan.code << " " << plan.family << " without " << Line(step);
            if (step.value) continue;

            const Step stranger{false, Line(step), "Stranger", ""};
            before = Install(plan, All, {stranger});
            const auto gone = [&](const Step& entry) { return !nt || !AtOrBelow(stranger, entry); };
            ASSERT_SAME(Result(Without(before, LinesOf(plan.steps, gone)), Report(plan, gone)), Cleaned(plan, name))
                << plan.code << " " << plan.family << " with " << Line(stranger);
        }
    }
}

// Every plan's entries installed, and nothing touched by a near miss; where
// the registry counts its calls, not one made.
TEST_P(Cleaning, OtherCodesAndNamesRunNothing) {
    const State before = Install(Plan{}, None);
    const auto calls = testreg::Calls();
    using namespace std::string_literals;
    // clang-format off
    const std::string names[] = {"windows xp", "WINDOWS 98", "Windows XP ", " Windows NT", "Windows 2000\0"s,
                                 "Windows Me", "Windows 95\0\0"s, "Windows 95 A", "Win 32s", "Unknown OS", ""};
    // clang-format on
    const std::string codes[] = {"nx6", "Nx7", "NX8", "NX6 ", "NX", "", "NX7\0"s};
    for (const Plan& plan : TheOracle().plans)
        for (const std::string& name : names) EXPECT_EQ(L"", Clean(plan, name)) << plan.code << " " << name;
    for (const std::string& code : codes)
        for (const auto& family : kNames)
            for (const std::string& name : family.second) EXPECT_EQ(L"", Clean({code, "", {}}, name)) << code;
    ASSERT_SAME(before, testreg::Snapshot());
    if (!calls) GTEST_SKIP() << "the system's registry does not count its calls";
    EXPECT_EQ(*calls, *testreg::Calls()) << "registry calls for codes and names that choose no plan";
}

// What only the in-memory registry can tell: each plan's deletions in
// order, every handle closed, and a missing parent key that costs only an
// open of 0 and its close.
TEST_P(Cleaning, CallsTracedByTheInMemoryRegistry) {
    if (!testreg::Deletions()) GTEST_SKIP() << "the system's registry does not trace its calls";
    for (const Plan& plan : TheOracle().plans) {
        Install(plan, All);
        Clean(plan, kNames.at(plan.family).front());
        ASSERT_SAME(Numbered("deletion", LinesOf(plan.steps)), Numbered("deletion", *testreg::Deletions()))
            << plan.code << " " << plan.family;
        EXPECT_EQ(0, *testreg::OpenHandles()) << "registry handles left open";
    }
    const long calls = *testreg::Calls();
    EXPECT_FALSE(Vantrel::DeleteSubKey(sys::kHkeyLocalMachine, L"SOFTWARE\\VantrelTest\\Missing", L"NXWIN"));
    EXPECT_FALSE(Vantrel::DeleteValue(sys::kHkeyLocalMachine, L"SOFTWARE\\VantrelTest\\Missing", L"NXGCtrl"));
    EXPECT_EQ(calls + 4, *testreg::Calls());
}

// What the cleaning runs cannot show of the registry operations: names
// compared as the registry compares them, and a slash that is part of a name.
TEST_P(Cleaning, RegistryOperationsNameEntriesAsTheRegistryDoes) {
    const sys::RegHandle lm = sys::kHkeyLocalMachine;
    testreg::Begin(GetParam());
    for (const char* key : {"NXWIN/95", "NXWIN"}) testreg::Add({false, "SOFTWARE\\VantrelTest", key, ""});
    testreg::Add({true, "SOFTWARE\\VantrelTest", "NXGCtrl", ""});
    const State before = testreg::Snapshot();
    EXPECT_TRUE(Vantrel::DeleteSubKey(lm, L"software\\vantreltest", L"nxwin/95"));
    EXPECT_TRUE(Vantrel::DeleteValue(lm, L"SOFTWARE\\VANTRELTEST", L"nxgctrl"));
    const State left = Without(before, {"SOFTWARE\\VantrelTest\\NXWIN/95", "SOFTWARE\\VantrelTest | NXGCtrl"});
    ASSERT_SAME(left, testreg::Snapshot());
}

INSTANTIATE_TEST_SUITE_P(Family, Cleaning, testing::ValuesIn(testreg::Families()), testing::PrintToStringParamName());

}  // namespace
