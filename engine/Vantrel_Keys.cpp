#include "engine/Vantrel_Keys.h"

#include <cstddef>

#include "engine/Vantrel.h"

namespace Vantrel_Keys {
namespace {

enum Operation { kDeleteSubKey, kDeleteValue };

// One deletion below HKEY_LOCAL_MACHINE. A label closes a group: the run
// reports the group with the result of its last step.
struct Step {
    Operation operation;
    const wchar_t* key_path;
    const wchar_t* name;
    const wchar_t* label;
};

struct Plan {
    const Step* steps;
    std::size_t count;
};

template <std::size_t N>
constexpr Plan PlanOf(const Step (&steps)[N]) {
    return Plan{steps, N};
}

// Children come before their parents: NT will not delete a key that still
// has subkeys. Labels are printed as written here, never derived.

// One row a step, however long its strings, so the tables read as the plans.
// clang-format off
const Step kNX6_9x[] = {
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"NXWIN/95", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"NXWIN/NT", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Velmora Console", L"Plugins", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"Velmora Console", nullptr},
    {kDeleteSubKey, L"SOFTWARE", L"K+LUMO", L"SOFTWARE\\K+LUMO"},
    {kDeleteValue, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"NXGCtrl", nullptr},
    {kDeleteValue, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"NXWUpd32", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\NX*"},
    {kDeleteSubKey, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", L"Nimbrax/9x", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbrax/9x"},
};

const Step kNX6_NT[] = {
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"NXWIN/95", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"NXWIN/NT", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Velmora Console", L"Plugins", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"Velmora Console", nullptr},
    {kDeleteSubKey, L"SOFTWARE", L"K+LUMO", L"SOFTWARE\\K+LUMO"},
    {kDeleteValue, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"NXGCtrl", nullptr},
    {kDeleteValue, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"NXWUpd32", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\NX*"},
    {kDeleteSubKey, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", L"Nimbrax/XP", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbrax/XP"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxMailService", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxMailService", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NimbraxMailService", L"SYSTEM\\ControlSet001\\Services\\NimbraxMailService"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxService", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxService", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NimbraxService", L"SYSTEM\\ControlSet001\\Services\\NimbraxService"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NXEService", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NXEService", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NXEService", L"SYSTEM\\ControlSet001\\Services\\NXEService"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\nxsntdw", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\nxsntdw", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"nxsntdw", L"SYSTEM\\ControlSet001\\Services\\nxsntdw"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NXWUpSrv", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NXWUpSrv", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NXWUpSrv", L"SYSTEM\\ControlSet001\\Services\\NXWUpSrv"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application", L"NXWUpSrv", L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application\\NXWUpSrv"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application", L"K+LUMO Nimbrax", L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application\\K+LUMO Nimbrax"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application", L"nxsntdw", L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application\\nxsntdw"},
};

// The RunServices group is labelled "RunService\NX*", without the key's
// final "s": the report prints the label exactly so.
const Step kNX7_9x[] = {
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"Nimbrax Workstation", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Workstation", L"Nimbrax Workstation", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"Workstation", nullptr},
    {kDeleteSubKey, L"SOFTWARE", L"K+LUMO", L"SOFTWARE\\K+LUMO"},
    {kDeleteValue, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", L"nxesvcm", nullptr},
    {kDeleteValue, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", L"nxmailcm", nullptr},
    {kDeleteValue, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", L"schedm", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunService\\NX*"},
    {kDeleteSubKey, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", L"Nimbrax Windows Workstation", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbrax Windows Workstation"},
};

const Step kNX7_NT[] = {
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"Sentinex", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"License", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"IsoMgr", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"Reporter", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"Scanner", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"Scheduler", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"MailSentinex", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins", L"Update", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Nimbrax Workstation", L"Plugins", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"Nimbrax Workstation", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Workstation", L"Nimbrax Workstation", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"Workstation", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO\\Velmora Console", L"Plugins", nullptr},
    {kDeleteSubKey, L"SOFTWARE\\K+LUMO", L"Velmora Console", nullptr},
    {kDeleteSubKey, L"SOFTWARE", L"K+LUMO", L"SOFTWARE\\K+LUMO"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxMailService", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxMailService", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NimbraxMailService", L"SYSTEM\\ControlSet001\\Services\\NimbraxMailService"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxService", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxService", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NimbraxService", L"SYSTEM\\ControlSet001\\Services\\NimbraxService"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxScheduler", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NimbraxScheduler", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NimbraxScheduler", L"SYSTEM\\ControlSet001\\Services\\NimbraxScheduler"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NXEService", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\NXEService", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"NXEService", L"SYSTEM\\ControlSet001\\Services\\NXEService"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\nxsntdd", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\nxsntdd", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"nxsntdd", L"SYSTEM\\ControlSet001\\Services\\nxsntdd"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\nxsntmgr", L"Enum", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\nxsntmgr", L"Security", nullptr},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services", L"nxsntmgr", L"SYSTEM\\ControlSet001\\Services\\nxsntmgr"},
    {kDeleteSubKey, L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application", L"K+LUMO Nimbrax", L"SYSTEM\\ControlSet001\\Services\\Eventlog\\Application\\K+LUMO Nimbrax"},
};
// clang-format on

// Exact comparisons, letter case included: the code first, then the two
// 9x names, then the three NT names.
Plan ChoosePlan(const std::wstring& code, const std::wstring& os) {
    const bool family_9x = os == L"Windows 98" || os == L"Windows ME";
    const bool family_nt = os == L"Windows 2000" || os == L"Windows NT" || os == L"Windows XP";
    if (code == L"NX6") {
        if (family_9x) return PlanOf(kNX6_9x);
        if (family_nt) return PlanOf(kNX6_NT);
    } else if (code == L"NX7") {
        if (family_9x) return PlanOf(kNX7_9x);
        if (family_nt) return PlanOf(kNX7_NT);
    }
    return Plan{nullptr, 0};
}

}  // namespace

std::wstring CleanProduct(std::wstring product_code, std::wstring os_name) {
    const Vantrel::RootKey root = sys::kHkeyLocalMachine;
    const Plan plan = ChoosePlan(product_code, os_name);
    std::wstring report;
    // Every step runs whatever the earlier ones returned; a group's line
    // carries the result of its last step only.
    bool last_result = false;
    for (std::size_t i = 0; i < plan.count; ++i) {
        const Step& step = plan.steps[i];
        last_result = step.operation == kDeleteSubKey ? Vantrel::DeleteSubKey(root, step.key_path, step.name)
                                                      : Vantrel::DeleteValue(root, step.key_path, step.name);
        if (step.label) report += Vantrel::ReportLine(step.label, last_result);
    }
    return report;
}

}  // namespace Vantrel_Keys
