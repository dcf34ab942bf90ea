// The engine: cleaning runs, every expectation derived from the oracle
// (tests/plans.txt): whole reports (so every report line's two forms), whole
// registry states and, natively, the deletions in order; then the registry
// operations.
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

std::wstring Wide(const std::string& text) { return {text.begin(), text.end()}; }

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
    return Vantrel_Keys::CleanProduct(Wide(plan.code), Wide(name));
}

// The whole report, "++" where ok says a group's last step was done.
std::wstring Expected(const Plan& plan, const Which& ok) { return Wide(plans::Report(plan, ok)); }

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

// A full install (natively also the order of its deletions), then a second
// run, which finds nothing of the plan installed, on each name that chooses
// the plan.
TEST_P(Cleaning, EachPlanOnEachOfItsNames) {
    for (const Plan& plan : TheOracle().plans) {
        for (const std::string& name : kNames.at(plan.family)) {
            SCOPED_TRACE(plan.code + " on " + name);
            const State after = Without(Install(plan, All), LinesOf(plan.steps));
            EXPECT_EQ(Expected(plan, All), Clean(plan, name));
            EXPECT_EQ(LinesOf(plan.steps), testreg::Deletions().value_or(LinesOf(plan.steps)));
            EXPECT_EQ(0, testreg::OpenHandles().value_or(0)) << "registry handles left open";
            EXPECT_EQ(after, testreg::Snapshot());
            EXPECT_EQ(Expected(plan, None), Clean(plan, name));
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
    for (const Plan& plan : TheOracle().plans) {
        const std::string name = kNames.at(plan.family).front();
        for (const Step& step : plan.steps) {
            SCOPED_TRACE(plan.code + " " + plan.family + " without " + Line(step));
            const auto installed = [&](const Step& entry) { return !AtOrBelow(entry, step); };
            State before = Install(plan, installed);
            EXPECT_EQ(Expected(plan, installed), Clean(plan, name));
            EXPECT_EQ(Without(before, LinesOf(plan.steps)), testreg::Snapshot());
            if (step.value) continue;

            const Step stranger{false, Line(step), "Stranger", ""};
            SCOPED_TRACE("with " + Line(stranger));
            before = Install(plan, All, {stranger});
            const auto gone = [&](const Step& entry) { return !nt || !AtOrBelow(stranger, entry); };
            EXPECT_EQ(Expected(plan, gone), Clean(plan, name));
            EXPECT_EQ(Without(before, LinesOf(plan.steps, gone)), testreg::Snapshot());
        }
    }
}

// Every plan's entries installed, and nothing touched by a near miss.
TEST_P(Cleaning, OtherCodesAndNamesRunNothing) {
    using namespace std::string_literals;
    const State before = Install(Plan{}, None);
    const auto calls = testreg::Calls();
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
    EXPECT_EQ(calls, testreg::Calls());
    EXPECT_EQ(before, testreg::Snapshot());
}

// What the cleaning runs cannot show of the registry operations: names
// compared as the registry compares them, a slash that is part of a name, and
// a missing parent key that costs only the existence test.
TEST_P(Cleaning, RegistryOperationsNameEntriesAsTheRegistryDoes) {
    const sys::RegHandle lm = sys::kHkeyLocalMachine;
    testreg::Begin(GetParam());
    for (const char* key : {"NXWIN/95", "NXWIN"}) testreg::Add({false, "SOFTWARE\\VantrelTest", key, ""});
    testreg::Add({true, "SOFTWARE\\VantrelTest", "NXGCtrl", ""});
    const State before = testreg::Snapshot();
    const auto calls = testreg::Calls();
    EXPECT_FALSE(Vantrel::DeleteSubKey(lm, L"SOFTWARE\\VantrelTest\\Missing", L"NXWIN"));
    EXPECT_FALSE(Vantrel::DeleteValue(lm, L"SOFTWARE\\VantrelTest\\Missing", L"NXGCtrl"));
    EXPECT_EQ(calls.value_or(0) + 4, testreg::Calls().value_or(4));  // each an open of 0 and its close
    EXPECT_TRUE(Vantrel::DeleteSubKey(lm, L"software\\vantreltest", L"nxwin/95"));
    EXPECT_TRUE(Vantrel::DeleteValue(lm, L"SOFTWARE\\VANTRELTEST", L"nxgctrl"));
    EXPECT_EQ(Without(before, {"SOFTWARE\\VantrelTest\\NXWIN/95", "SOFTWARE\\VantrelTest | NXGCtrl"}),
              testreg::Snapshot());
}

INSTANTIATE_TEST_SUITE_P(Family, Cleaning, testing::ValuesIn(testreg::Families()), testing::PrintToStringParamName());

}  // namespace
