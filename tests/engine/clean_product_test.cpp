// Cleaning runs: whole reports and whole registry states, plan by plan.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Vantrel_Keys.h"
#include "tests/support/test_registry.h"

namespace {

using testreg::Family;
using testreg::State;
using Lines = std::vector<std::string>;

#define CV "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
#define SVC "SYSTEM\\ControlSet001\\Services\\"
#define APP SVC "Eventlog\\Application\\"
#define LCV L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
#define LSVC L"SYSTEM\\ControlSet001\\Services\\"
#define LAPP LSVC L"Eventlog\\Application\\"

// "key" or "key | value", as in a State.
void Seed(const Lines& lines) {
    for (const std::string& line : lines) {
        const auto bar = line.find(" | ");
        if (bar == std::string::npos) testreg::AddKey(line);
        else testreg::AddValue(line.substr(0, bar), line.substr(bar + 3));
    }
}

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool IsBelow(const std::string& line, const std::string& key) {
    const std::string folded = testreg::Fold(line);
    const std::string prefix = testreg::Fold(key);
    return folded.rfind(prefix + "\\", 0) == 0 || folded.rfind(prefix + " | ", 0) == 0;
}

// The state with the named values gone, and the named keys with all below them.
State Without(const State& state, const Lines& removed) {
    State left;
    for (const std::string& line : state) {
        const bool gone = std::any_of(removed.begin(), removed.end(), [&](const std::string& entry) {
            return testreg::Fold(line) == testreg::Fold(entry) ||
                   (entry.find(" | ") == std::string::npos && IsBelow(line, entry));
        });
        if (!gone) left.insert(line);
    }
    return left;
}

std::wstring Ok(const std::wstring& label) { return L"++ " + label + L"\r\n"; }
std::wstring Fail(const std::wstring& label) { return L"!! " + label + L" - Failed to delete the (sub) key!\r\n"; }

std::wstring Report(const std::vector<std::wstring>& labels, bool ok) {
    std::wstring report;
    for (const std::wstring& label : labels) report += ok ? Ok(label) : Fail(label);
    return report;
}

// Things a plan must leave alone: look-alike names next to every place the
// plans delete in, the label's "RunService" spelling as a real key, and a
// control set other than ControlSet001.
const Lines kNeighbours = {
    "SOFTWARE\\K+LUMO2\\NXWIN/95",
    "SOFTWARE\\K-LUMO | Version",
    CV "Run | NXGCtrl2", CV "Run | NXWUpd", CV "Run | Other",
    CV "RunServices | nxesvcm2", CV "RunServices | schedm.exe", CV "RunServices | Other",
    CV "RunService | schedm", CV "RunService\\NX",
    CV "Uninstall\\Nimbrax | DisplayName", CV "Uninstall\\Nimbrax/95", CV "Uninstall\\Nimbrax Windows Workstation 2",
    SVC "NimbraxMailService2\\Enum", SVC "NXEServices | Start", SVC "nxsntdw2\\Security", SVC "Nimbrax\\Enum",
    "SYSTEM\\ControlSet002\\Services\\nxsntdw\\Enum", "SYSTEM\\ControlSet002\\Services\\NimbraxService | Start",
    APP "NXWUpSrv2", SVC "Eventlog\\System\\nxsntdw",
};

Lines Service(const std::string& name) {
    return {SVC + name + " | ImagePath", SVC + name + "\\Enum | Count", SVC + name + "\\Security | Security"};
}

// What each generation installs outside the vendor key.
const Lines kOutside6_9x = {CV "Run | NXGCtrl", CV "Run | NXWUpd32", CV "Uninstall\\Nimbrax/9x | DisplayName"};
const Lines kOutside6_NT = Lines{CV "Run | NXGCtrl", CV "Run | NXWUpd32", CV "Uninstall\\Nimbrax/XP | DisplayName"} +
                           Service("NimbraxMailService") + Service("NimbraxService") + Service("NXEService") +
                           Service("nxsntdw") + Service("NXWUpSrv") +
                           Lines{APP "NXWUpSrv | EventMessageFile", APP "K+LUMO Nimbrax | EventMessageFile",
                                 APP "nxsntdw | EventMessageFile"};
const Lines kOutside7_9x = {CV "RunServices | nxesvcm", CV "RunServices | nxmailcm", CV "RunServices | schedm",
                            CV "Uninstall\\Nimbrax Windows Workstation | DisplayName"};
const Lines kOutside7_NT = Service("NimbraxMailService") + Service("NimbraxService") + Service("NimbraxScheduler") +
                           Service("NXEService") + Service("nxsntdd") + Service("nxsntmgr") +
                           Lines{APP "K+LUMO Nimbrax | EventMessageFile"};

struct PlanCase {
    const char* name;
    std::wstring code;
    Family family;
    std::vector<std::wstring> os_names;
    Lines installed;  // a full install of this generation on this family
    Lines others;     // the other generation's entries, which must stay
    Lines removed;    // what a run takes away
    std::vector<std::wstring> labels;
};

const PlanCase kPlans[] = {
    {"NX6_9x", L"NX6", Family::Win9x, {L"Windows 98", L"Windows ME"},
     Lines{"SOFTWARE\\K+LUMO\\NXWIN/95 | InstallDir", "SOFTWARE\\K+LUMO\\NXWIN/NT",
           "SOFTWARE\\K+LUMO\\Velmora Console | Version", "SOFTWARE\\K+LUMO\\Velmora Console\\Plugins | Scanner"} +
         kOutside6_9x,
     Lines{CV "Uninstall\\Nimbrax/XP | DisplayName"} + kOutside7_9x,
     {"SOFTWARE\\K+LUMO", CV "Run | NXGCtrl", CV "Run | NXWUpd32", CV "Uninstall\\Nimbrax/9x"},
     {L"SOFTWARE\\K+LUMO", LCV L"Run\\NX*", LCV L"Uninstall\\Nimbrax/9x"}},
    {"NX6_NT", L"NX6", Family::NT, {L"Windows NT", L"Windows 2000", L"Windows XP"},
     Lines{"SOFTWARE\\K+LUMO\\NXWIN/95 | InstallDir", "SOFTWARE\\K+LUMO\\NXWIN/NT",
           "SOFTWARE\\K+LUMO\\Velmora Console | Version", "SOFTWARE\\K+LUMO\\Velmora Console\\Plugins | Scanner"} +
         kOutside6_NT,
     Lines{CV "Uninstall\\Nimbrax/9x | DisplayName", SVC "NimbraxScheduler\\Enum", SVC "nxsntdd", SVC "nxsntmgr"} +
         kOutside7_9x,
     {"SOFTWARE\\K+LUMO", CV "Run | NXGCtrl", CV "Run | NXWUpd32", CV "Uninstall\\Nimbrax/XP",
      SVC "NimbraxMailService", SVC "NimbraxService", SVC "NXEService", SVC "nxsntdw", SVC "NXWUpSrv",
      APP "NXWUpSrv", APP "K+LUMO Nimbrax", APP "nxsntdw"},
     {L"SOFTWARE\\K+LUMO", LCV L"Run\\NX*", LCV L"Uninstall\\Nimbrax/XP", LSVC L"NimbraxMailService",
      LSVC L"NimbraxService", LSVC L"NXEService", LSVC L"nxsntdw", LSVC L"NXWUpSrv", LAPP L"NXWUpSrv",
      LAPP L"K+LUMO Nimbrax", LAPP L"nxsntdw"}},
    {"NX7_9x", L"NX7", Family::Win9x, {L"Windows 98", L"Windows ME"},
     Lines{"SOFTWARE\\K+LUMO\\Nimbrax Workstation | Version",
           "SOFTWARE\\K+LUMO\\Workstation\\Nimbrax Workstation | Path"} +
         kOutside7_9x,
     kOutside6_9x + Lines{CV "Uninstall\\Nimbrax/XP"},
     {"SOFTWARE\\K+LUMO", CV "RunServices | nxesvcm", CV "RunServices | nxmailcm", CV "RunServices | schedm",
      CV "Uninstall\\Nimbrax Windows Workstation"},
     {L"SOFTWARE\\K+LUMO", LCV L"RunService\\NX*", LCV L"Uninstall\\Nimbrax Windows Workstation"}},
    {"NX7_NT", L"NX7", Family::NT, {L"Windows NT", L"Windows 2000", L"Windows XP"},
     Lines{"SOFTWARE\\K+LUMO\\Nimbrax Workstation | Version",
           "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Sentinex | Enabled",
           "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\License", "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\IsoMgr",
           "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Reporter", "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Scanner",
           "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Scheduler",
           "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\MailSentinex",
           "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Update | Server",
           "SOFTWARE\\K+LUMO\\Workstation\\Nimbrax Workstation", "SOFTWARE\\K+LUMO\\Velmora Console\\Plugins"} +
         kOutside7_NT,
     // The NT plan leaves start-up values and uninstall entries alone.
     kOutside7_9x + kOutside6_9x + Lines{CV "Uninstall\\Nimbrax/XP", SVC "nxsntdw\\Enum", SVC "NXWUpSrv",
                                         APP "NXWUpSrv", APP "nxsntdw"},
     {"SOFTWARE\\K+LUMO", SVC "NimbraxMailService", SVC "NimbraxService", SVC "NimbraxScheduler", SVC "NXEService",
      SVC "nxsntdd", SVC "nxsntmgr", APP "K+LUMO Nimbrax"},
     {L"SOFTWARE\\K+LUMO", LSVC L"NimbraxMailService", LSVC L"NimbraxService", LSVC L"NimbraxScheduler",
      LSVC L"NXEService", LSVC L"nxsntdd", LSVC L"nxsntmgr", LAPP L"K+LUMO Nimbrax"}},
};

void PrintTo(const PlanCase& plan, std::ostream* out) { *out << plan.name; }

bool Available(Family family) {
    const auto families = testreg::AvailableFamilies();
    return std::find(families.begin(), families.end(), family) != families.end();
}

class CleanPlan : public testing::TestWithParam<PlanCase> {
protected:
    void SetUp() override {
        if (!Available(GetParam().family)) GTEST_SKIP() << "this system is not of the plan's family";
    }
    void Begin() { testreg::Begin(GetParam().family); }
    void TearDown() override {
        testreg::ExpectNoHandleLeft();
        testreg::End();
    }
};

TEST_P(CleanPlan, RemovesAFullInstallAndNothingElse) {
    const PlanCase& plan = GetParam();
    for (const std::wstring& os : plan.os_names) {
        Begin();
        Seed(kNeighbours + plan.others + plan.installed);
        const State before = testreg::Snapshot();
        EXPECT_EQ(Report(plan.labels, true), Vantrel_Keys::CleanProduct(plan.code, os));
        EXPECT_EQ(Without(before, plan.removed), testreg::Snapshot());
        testreg::ExpectNoHandleLeft();
        testreg::End();
    }
}

TEST_P(CleanPlan, FailsEveryGroupWhenNothingIsInstalledOrOnASecondRun) {
    const PlanCase& plan = GetParam();
    Begin();
    Seed(kNeighbours + plan.others);
    const State neighbours_only = testreg::Snapshot();
    const std::wstring all_failed = Report(plan.labels, false);
    EXPECT_EQ(all_failed, Vantrel_Keys::CleanProduct(plan.code, plan.os_names.front()));
    EXPECT_EQ(neighbours_only, testreg::Snapshot());

    Seed(plan.installed);
    EXPECT_EQ(Report(plan.labels, true), Vantrel_Keys::CleanProduct(plan.code, plan.os_names.back()));
    EXPECT_EQ(neighbours_only, testreg::Snapshot());
    EXPECT_EQ(all_failed, Vantrel_Keys::CleanProduct(plan.code, plan.os_names.back()));
    EXPECT_EQ(neighbours_only, testreg::Snapshot());
}

INSTANTIATE_TEST_SUITE_P(Plans, CleanPlan, testing::ValuesIn(kPlans),
                         [](const testing::TestParamInfo<PlanCase>& param) { return std::string(param.param.name); });

// The three-line report of generation 6 on Windows 98, byte for byte.
TEST(CleanProduct, Generation6On98ReportsThreeLines) {
    if (!Available(Family::Win9x)) GTEST_SKIP() << "needs the Windows 98 family";
    testreg::Begin(Family::Win9x);
    Seed(kPlans[0].installed);
    EXPECT_EQ(L"++ SOFTWARE\\K+LUMO\r\n"
              L"++ SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\NX*\r\n"
              L"++ SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbrax/9x\r\n",
              Vantrel_Keys::CleanProduct(L"NX6", L"Windows 98"));
    testreg::End();
}

TEST(CleanProduct, OtherCodesAndNamesRunNothing) {
    using namespace std::string_literals;
    const Family family = testreg::AvailableFamilies().front();
    testreg::Begin(family);
    Seed(kNeighbours + kPlans[0].installed + kPlans[1].installed + kPlans[2].installed + kPlans[3].installed);
    const State before = testreg::Snapshot();
    const auto calls_before = testreg::RegistryCalls();

    const std::wstring plan_names[] = {L"Windows 98", L"Windows ME", L"Windows NT", L"Windows 2000", L"Windows XP"};
    const std::wstring other_names[] = {
        L"windows xp", L"WINDOWS 98", L"Windows XP ", L" Windows NT", L"Windows 2000\0"s, L"Windows Me",
        L"Windows 95\0\0"s, L"Windows 95 A", L"Windows 95 C", L"Win 32s", L"Unknown OS", L"", L"Windows 2003"};
    const std::wstring other_codes[] = {L"nx6", L"Nx7", L"NX8", L"NX6 ", L"NX", L"", L"Nimbrax 6", L"NX6\0"s};
    for (const std::wstring& code : {std::wstring(L"NX6"), std::wstring(L"NX7")}) {
        for (const std::wstring& name : other_names) {
            EXPECT_EQ(L"", Vantrel_Keys::CleanProduct(code, name)) << "name index " << &name - other_names;
        }
    }
    for (const std::wstring& code : other_codes) {
        for (const std::wstring& name : plan_names) {
            EXPECT_EQ(L"", Vantrel_Keys::CleanProduct(code, name)) << "code index " << &code - other_codes;
        }
    }
    if (calls_before) {
        EXPECT_EQ(*calls_before, *testreg::RegistryCalls());
    }
    EXPECT_EQ(before, testreg::Snapshot());
    testreg::End();
}

// Partial installs: the group's line follows its last step only.
class PartialState : public testing::Test {
protected:
    void Run(Family family, const wchar_t* code, const wchar_t* os, const Lines& seed, const std::wstring& report,
             const Lines& removed) {
        if (!Available(family)) GTEST_SKIP() << "needs the " << testreg::FamilyName(family) << " family";
        testreg::Begin(family);
        Seed(kNeighbours + seed);
        const State before = testreg::Snapshot();
        EXPECT_EQ(report, Vantrel_Keys::CleanProduct(code, os));
        EXPECT_EQ(Without(before, removed), testreg::Snapshot());
        testreg::ExpectNoHandleLeft();
        testreg::End();
    }
};

// Everything of generation 6 on NT outside the vendor key.
const Lines kRemovedOutside6_NT = {CV "Run | NXGCtrl", CV "Run | NXWUpd32", CV "Uninstall\\Nimbrax/XP",
                                   SVC "NimbraxMailService", SVC "NimbraxService", SVC "NXEService", SVC "nxsntdw",
                                   SVC "NXWUpSrv", APP "NXWUpSrv", APP "K+LUMO Nimbrax", APP "nxsntdw"};
const std::vector<std::wstring> kLabelsOutside6_NT = {
    LCV L"Run\\NX*", LCV L"Uninstall\\Nimbrax/XP", LSVC L"NimbraxMailService", LSVC L"NimbraxService",
    LSVC L"NXEService", LSVC L"nxsntdw", LSVC L"NXWUpSrv", LAPP L"NXWUpSrv", LAPP L"K+LUMO Nimbrax", LAPP L"nxsntdw"};

const std::wstring kFail6Tail9x = Fail(LCV L"Uninstall\\Nimbrax/9x");

TEST_F(PartialState, RunValuesReportTheLastValueOnly) {
    for (const Family family : {Family::Win9x, Family::NT}) {
        const wchar_t* os = family == Family::NT ? L"Windows XP" : L"Windows 98";
        const std::wstring head = Fail(L"SOFTWARE\\K+LUMO");
        const std::wstring uninstall = Fail(family == Family::NT ? LCV L"Uninstall\\Nimbrax/XP" : LCV L"Uninstall\\Nimbrax/9x");
        const std::wstring services =
            family == Family::NT ? Report({kLabelsOutside6_NT.begin() + 2, kLabelsOutside6_NT.end()}, false) : L"";
        // The first value goes, but the missing last one fails the group.
        Run(family, L"NX6", os, {CV "Run | NXGCtrl"}, head + Fail(LCV L"Run\\NX*") + uninstall + services,
            {CV "Run | NXGCtrl"});
        Run(family, L"NX6", os, {CV "Run | NXWUpd32"}, head + Ok(LCV L"Run\\NX*") + uninstall + services,
            {CV "Run | NXWUpd32"});
    }
}

TEST_F(PartialState, RunServicesValuesReportTheLastValueOnly) {
    const std::wstring head = Fail(L"SOFTWARE\\K+LUMO");
    const std::wstring tail = Fail(LCV L"Uninstall\\Nimbrax Windows Workstation");
    Run(Family::Win9x, L"NX7", L"Windows ME", {CV "RunServices | nxesvcm", CV "RunServices | nxmailcm"},
        head + Fail(LCV L"RunService\\NX*") + tail, {CV "RunServices | nxesvcm", CV "RunServices | nxmailcm"});
    Run(Family::Win9x, L"NX7", L"Windows ME", {CV "RunServices | schedm"}, head + Ok(LCV L"RunService\\NX*") + tail,
        {CV "RunServices | schedm"});
}

TEST_F(PartialState, NamedKeyWithAChildOfItsOwnOnNT) {
    Run(Family::NT, L"NX6", L"Windows NT",
        Lines{"SOFTWARE\\K+LUMO\\NXWIN/95\\Settings", "SOFTWARE\\K+LUMO\\NXWIN/NT"} + kOutside6_NT,
        Fail(L"SOFTWARE\\K+LUMO") + Report(kLabelsOutside6_NT, true),
        Lines{"SOFTWARE\\K+LUMO\\NXWIN/NT"} + kRemovedOutside6_NT);
}

TEST_F(PartialState, UnnamedKeyUnderTheVendorKey) {
    const Lines seed = {"SOFTWARE\\K+LUMO\\NXWIN/95", "SOFTWARE\\K+LUMO\\Velmora Console\\Plugins",
                        "SOFTWARE\\K+LUMO\\Licence | Key"};
    // 98 and ME take the vendor key with everything below it.
    Run(Family::Win9x, L"NX6", L"Windows 98", seed,
        Ok(L"SOFTWARE\\K+LUMO") + Fail(LCV L"Run\\NX*") + kFail6Tail9x, {"SOFTWARE\\K+LUMO"});
    // NT keeps the vendor key and the stranger; the named keys are gone.
    Run(Family::NT, L"NX6", L"Windows 2000", seed,
        Fail(L"SOFTWARE\\K+LUMO") + Report(kLabelsOutside6_NT, false),
        {"SOFTWARE\\K+LUMO\\NXWIN/95", "SOFTWARE\\K+LUMO\\Velmora Console"});
}

TEST_F(PartialState, ServiceKeyWithAnotherSubkeyStaysOnNT) {
    const Lines seed = Service("NimbraxService") + Lines{SVC "NimbraxService\\Parameters | Level"};
    const std::wstring report = Fail(L"SOFTWARE\\K+LUMO") + Fail(LCV L"Run\\NX*") + Fail(LCV L"Uninstall\\Nimbrax/XP") +
                                Fail(LSVC L"NimbraxMailService") + Fail(LSVC L"NimbraxService") +
                                Report({LSVC L"NXEService", LSVC L"nxsntdw", LSVC L"NXWUpSrv", LAPP L"NXWUpSrv",
                                        LAPP L"K+LUMO Nimbrax", LAPP L"nxsntdw"},
                                       false);
    Run(Family::NT, L"NX6", L"Windows XP", seed, report,
        {SVC "NimbraxService\\Enum", SVC "NimbraxService\\Security"});
}

TEST_F(PartialState, PluginOutsideTheEightKeepsTheVendorKeyOnNT) {
    const Lines seed = kPlans[3].installed + Lines{"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Antispam"};
    Run(Family::NT, L"NX7", L"Windows XP", seed,
        Fail(L"SOFTWARE\\K+LUMO") + Report({LSVC L"NimbraxMailService", LSVC L"NimbraxService", LSVC L"NimbraxScheduler",
                                            LSVC L"NXEService", LSVC L"nxsntdd", LSVC L"nxsntmgr", LAPP L"K+LUMO Nimbrax"},
                                           true),
        Lines{"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Sentinex",
              "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\License",
              "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\IsoMgr",
              "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Reporter",
              "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Scanner",
              "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Scheduler",
              "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\MailSentinex",
              "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\Update", "SOFTWARE\\K+LUMO\\Workstation",
              "SOFTWARE\\K+LUMO\\Velmora Console", SVC "NimbraxMailService", SVC "NimbraxService",
              SVC "NimbraxScheduler", SVC "NXEService", SVC "nxsntdd", SVC "nxsntmgr", APP "K+LUMO Nimbrax"});
}

TEST_F(PartialState, MissingEventLogSourceFailsItsOwnGroupOnly) {
    Lines seed;
    for (const std::string& line : kOutside6_NT) {
        if (line.find("Application\\K+LUMO Nimbrax") == std::string::npos) seed.push_back(line);
    }
    std::wstring report = Fail(L"SOFTWARE\\K+LUMO");
    for (const std::wstring& label : kLabelsOutside6_NT) {
        report += label == LAPP L"K+LUMO Nimbrax" ? Fail(label) : Ok(label);
    }
    Run(Family::NT, L"NX6", L"Windows XP", seed, report, kRemovedOutside6_NT);
}

}  // namespace
