"""The tool as the end-to-end tests see it: its window, its plans' keys and
the reports they give, on top of the generic harness."""

import os
import re
import time
from pathlib import Path

import harness
from harness import wait_for

ROOT = Path(__file__).resolve().parents[2]
EXE = Path(os.environ.get("VANTREL_EXE", ROOT / "build" / "win32" / "Morvel_Vantrel_Only6+7.exe"))
WINDOW = "Vantrel_GUI"
CAPTION = "Morvel Vantrel"
MESSAGE_BOX = "#32770"
IDOK, IDCANCEL = 1, 2


def _ids():
    """The control ids, read from the header the window is built from."""
    text = (ROOT / "gui" / "Vantrel_ids.h").read_text()
    return {name: int(value) for name, value in re.findall(r"#define (ID\w+)\s+(\d+)", text)}


IDS = _ids()
NX6, NX7, OUTPUT, EXIT = IDS["IDC_NX6"], IDS["IDC_NX7"], IDS["IDC_OUTPUT"], IDS["IDC_EXIT"]
REPORT, REP_CLEAR, BANNER = IDS["IDC_REPORT"], IDS["IDC_REP_CLEAR"], IDS["IDC_BANNER"]

LM = "HKEY_LOCAL_MACHINE\\"
CV = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
SVC = "SYSTEM\\ControlSet001\\Services\\"
APP = SVC + "Eventlog\\Application\\"

# --- Registry contents ------------------------------------------------------
# Entries are "KEY" or "KEY | VALUE", below HKEY_LOCAL_MACHINE.


def service(name):
    return [SVC + name + " | ImagePath", SVC + name + "\\Enum | Count", SVC + name + "\\Security | Security"]


VENDOR_6 = ["SOFTWARE\\K+LUMO\\NXWIN/95 | InstallDir", "SOFTWARE\\K+LUMO\\NXWIN/NT",
            "SOFTWARE\\K+LUMO\\Velmora Console | Version", "SOFTWARE\\K+LUMO\\Velmora Console\\Plugins | Scanner"]
VENDOR_7_9X = ["SOFTWARE\\K+LUMO\\Nimbrax Workstation | Version",
               "SOFTWARE\\K+LUMO\\Workstation\\Nimbrax Workstation | Path"]
VENDOR_7_NT = ["SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\" + name for name in
               ("Sentinex", "License", "IsoMgr", "Reporter", "Scanner", "Scheduler", "MailSentinex", "Update")] + [
    "SOFTWARE\\K+LUMO\\Nimbrax Workstation | Version", "SOFTWARE\\K+LUMO\\Workstation\\Nimbrax Workstation",
    "SOFTWARE\\K+LUMO\\Velmora Console\\Plugins"]

RUN_6 = [CV + "Run | NXGCtrl", CV + "Run | NXWUpd32"]
RUNSERVICES_7 = [CV + "RunServices | nxesvcm", CV + "RunServices | nxmailcm", CV + "RunServices | schedm"]
SERVICES_6 = [s for name in ("NimbraxMailService", "NimbraxService", "NXEService", "nxsntdw", "NXWUpSrv")
              for s in service(name)]
SERVICES_7 = [s for name in ("NimbraxMailService", "NimbraxService", "NimbraxScheduler", "NXEService", "nxsntdd",
                             "nxsntmgr") for s in service(name)]
SOURCES_6 = [APP + "NXWUpSrv | EventMessageFile", APP + "K+LUMO Nimbrax | EventMessageFile",
             APP + "nxsntdw | EventMessageFile"]
SOURCES_7 = [APP + "K+LUMO Nimbrax | EventMessageFile"]

# Look-alikes next to every place a plan deletes in; none may be touched.
NEIGHBOURS = [
    "SOFTWARE\\K+LUMO2\\NXWIN/95", "SOFTWARE\\K-LUMO | Version",
    CV + "Run | NXGCtrl2", CV + "Run | NXWUpd", CV + "Run | Other",
    CV + "RunServices | nxesvcm2", CV + "RunServices | schedm.exe", CV + "RunServices | Other",
    CV + "RunService | schedm", CV + "RunService\\NX",
    CV + "Uninstall\\Nimbrax | DisplayName", CV + "Uninstall\\Nimbrax/95", CV + "Uninstall\\Nimbrax Windows Workstation 2",
    SVC + "NimbraxMailService2\\Enum", SVC + "NXEServices | Start", SVC + "nxsntdw2\\Security", SVC + "Nimbrax\\Enum",
    "SYSTEM\\ControlSet002\\Services\\nxsntdw\\Enum", "SYSTEM\\ControlSet002\\Services\\NimbraxService | Start",
    APP + "NXWUpSrv2", SVC + "Eventlog\\System\\nxsntdw",
]

# Where the registry is compared, whole subtree by subtree.
WATCHED = ["SOFTWARE\\K+LUMO", "SOFTWARE\\K+LUMO2", "SOFTWARE\\K-LUMO", CV + "Run", CV + "RunServices",
           CV + "RunService", CV + "Uninstall", "SYSTEM\\ControlSet001\\Services", "SYSTEM\\ControlSet002\\Services"]


def fail(label):
    return "!! " + label + " - Failed to delete the (sub) key!\r\n"


def ok(label):
    return "++ " + label + "\r\n"


class Plan:
    """One plan: what a full install holds, what a run removes, its labels,
    and the other generation's entries outside the vendor key, which the
    plan must leave alone."""

    def __init__(self, code, family, installed, removed, labels):
        self.code, self.family = code, family
        self.installed, self.removed, self.labels = installed, removed, labels
        self.others = []

    def report(self, results):
        """The report for a list of group results (True for "++")."""
        return "".join(ok(label) if good else fail(label) for label, good in zip(self.labels, results, strict=True))

    def all_done(self):
        return self.report([True] * len(self.labels))

    def all_failed(self):
        return self.report([False] * len(self.labels))


PLANS = {
    ("NX6", "9x"): Plan("NX6", "9x", VENDOR_6 + RUN_6 + [CV + "Uninstall\\Nimbrax/9x | DisplayName"],
                        ["SOFTWARE\\K+LUMO"] + RUN_6 + [CV + "Uninstall\\Nimbrax/9x"],
                        ["SOFTWARE\\K+LUMO", CV + "Run\\NX*", CV + "Uninstall\\Nimbrax/9x"]),
    ("NX6", "NT"): Plan("NX6", "NT", VENDOR_6 + RUN_6 + [CV + "Uninstall\\Nimbrax/XP | DisplayName"] + SERVICES_6 +
                        SOURCES_6,
                        ["SOFTWARE\\K+LUMO"] + RUN_6 + [CV + "Uninstall\\Nimbrax/XP"] +
                        [SVC + n for n in ("NimbraxMailService", "NimbraxService", "NXEService", "nxsntdw",
                                           "NXWUpSrv")] + [APP + "NXWUpSrv", APP + "K+LUMO Nimbrax", APP + "nxsntdw"],
                        ["SOFTWARE\\K+LUMO", CV + "Run\\NX*", CV + "Uninstall\\Nimbrax/XP"] +
                        [SVC + n for n in ("NimbraxMailService", "NimbraxService", "NXEService", "nxsntdw",
                                           "NXWUpSrv")] + [APP + "NXWUpSrv", APP + "K+LUMO Nimbrax", APP + "nxsntdw"]),
    ("NX7", "9x"): Plan("NX7", "9x", VENDOR_7_9X + RUNSERVICES_7 + [CV + "Uninstall\\Nimbrax Windows Workstation"],
                        ["SOFTWARE\\K+LUMO"] + RUNSERVICES_7 + [CV + "Uninstall\\Nimbrax Windows Workstation"],
                        ["SOFTWARE\\K+LUMO", CV + "RunService\\NX*", CV + "Uninstall\\Nimbrax Windows Workstation"]),
    ("NX7", "NT"): Plan("NX7", "NT", VENDOR_7_NT + SERVICES_7 + SOURCES_7,
                        ["SOFTWARE\\K+LUMO"] + [SVC + n for n in ("NimbraxMailService", "NimbraxService",
                                                                   "NimbraxScheduler", "NXEService", "nxsntdd",
                                                                   "nxsntmgr")] + [APP + "K+LUMO Nimbrax"],
                        ["SOFTWARE\\K+LUMO"] + [SVC + n for n in ("NimbraxMailService", "NimbraxService",
                                                                   "NimbraxScheduler", "NXEService", "nxsntdd",
                                                                   "nxsntmgr")] + [APP + "K+LUMO Nimbrax"]),
}

PLANS[("NX6", "9x")].others = RUNSERVICES_7 + [CV + "Uninstall\\Nimbrax Windows Workstation", CV + "Uninstall\\Nimbrax/XP"]
PLANS[("NX6", "NT")].others = RUNSERVICES_7 + [CV + "Uninstall\\Nimbrax/9x",
                                               CV + "Uninstall\\Nimbrax Windows Workstation"] + \
    service("NimbraxScheduler") + service("nxsntdd") + service("nxsntmgr")
PLANS[("NX7", "9x")].others = RUN_6 + [CV + "Uninstall\\Nimbrax/9x", CV + "Uninstall\\Nimbrax/XP"]
# The NT plan of generation 7 touches no start-up value and no uninstall entry.
PLANS[("NX7", "NT")].others = RUN_6 + RUNSERVICES_7 + [CV + "Uninstall\\Nimbrax/XP",
                                                       CV + "Uninstall\\Nimbrax Windows Workstation"] + \
    service("nxsntdw") + service("NXWUpSrv") + [APP + "NXWUpSrv", APP + "nxsntdw"]


def reg_text(entries):
    """A REGEDIT4 file that creates the entries."""
    keys = {}
    for entry in entries:
        key, _, value = entry.partition(" | ")
        keys.setdefault(key, [])
        if value:
            keys[key].append(value)
    out = ["REGEDIT4", ""]
    for key, values in keys.items():
        out.append(f"[{LM}{key}]")
        out.extend(f'"{value}"="1"' for value in values)
        out.append("")
    return "\n".join(out) + "\n"


def registry(scenario, keep_as=None):
    """The watched parts of the registry, as sorted export lines; with
    keep_as, also written to that file in the scenario's artifact folder."""
    lines = []
    for root in WATCHED:
        lines.extend(scenario.reg_query_tree(LM + root))
    if keep_as:
        (scenario.artifacts / keep_as).write_text("\n".join(lines) + "\n")
    return lines


def without(lines, removed):
    """Export lines with the removed keys (and all below them) and values gone."""
    def gone(line):
        key, _, rest = line[1:].partition("]")
        key = key.lower()
        for entry in removed:
            path, _, value = entry.partition(" | ")
            path = (LM + path).lower()
            if value:
                if key == path and rest.strip().lower().startswith(f'"{value.lower()}"='):
                    return True
            elif key == path or key.startswith(path + "\\"):
                return True
        return False
    return [line for line in lines if not gone(line)]


# --- Driving the window -----------------------------------------------------

class Scenario(harness.Scenario):
    """A harness scenario that also keeps the watched registry, as the
    scenario left it, in its artifact folder."""

    def close(self):
        if self.env is not None and self.prefix is not None and self.prefix.exists():
            try:
                registry(self, keep_as="registry-end.txt")
            except Exception as error:  # the scenario's own outcome matters more
                self.log(f"registry export failed: {error}")
        super().close()


class App:
    """The running tool in one scenario."""

    def __init__(self, scenario, exe=EXE, cwd=None):
        self.s = scenario
        self.process = scenario.start(exe, cwd=cwd)
        self.window = scenario.wait_window(classname=WINDOW, caption=CAPTION, timeout=60)
        # Ready for input once the first button holds the focus.
        wait_for(lambda: self.s.tree(WINDOW)["focus_id"] == NX6, timeout=30, what="NX6 focused at start")

    def tree(self):
        return self.s.tree(WINDOW)

    def focus(self):
        return self.tree()["focus_id"]

    def text(self):
        """The report box's text, as bytes in the ANSI code page."""
        return self.s.control_text(WINDOW, OUTPUT)

    def wait_text(self, expected, what="report box text"):
        expected = expected.encode("cp1252") if isinstance(expected, str) else expected
        try:
            wait_for(lambda: self.text() == expected, timeout=30, what=what)
        except AssertionError:
            actual = self.text()
            if actual != expected:
                raise AssertionError(f"{what}:\n  expected {expected!r}\n  actual   {actual!r}") from None

    def click(self, control):
        self.s.click_control(WINDOW, control)

    def type_in_report(self, text):
        """Clicks into the empty report box and types, as a user would."""
        self.click(OUTPUT)
        self.s.type_text(text)
        self.wait_text(text.encode("cp1252"))

    def confirmation(self):
        """Waits for the "Are you sure?" box and checks what it shows: the
        text, OK and Cancel, and no icon (the text starts where an icon
        would stand)."""
        box = self.s.wait_window(classname=MESSAGE_BOX, caption=CAPTION, timeout=30)
        texts = sorted(t for t in box["texts"] if t)
        assert texts == ["Are you sure?", "Cancel", "OK"], texts
        children = self.s.tree(MESSAGE_BOX)["children"]
        text = next(c for c in children if c.get("text") == "Are you sure?")
        icons = [c for c in children if c["class"].upper() == "STATIC" and c["style"] & 0x1F == 3]  # SS_ICON
        assert all(text["rect"][0] <= icon["rect"][0] for icon in icons), (text, icons)
        return box

    def answer(self, button):
        """Clicks OK or Cancel in the confirmation box with the mouse."""
        self.confirmation()
        self.s.click_control(MESSAGE_BOX, button)
        self.s.wait_window_gone(classname=MESSAGE_BOX, caption=CAPTION)

    def clean(self, product, expected):
        """Clicks a product button, confirms with OK, waits for the report."""
        self.click(product)
        self.answer(IDOK)
        self.wait_text(expected)

    def focus_on(self, control):
        """Tabs through the focus order until the control has the focus."""
        for _ in range(5):
            before = self.focus()
            if before == control:
                return
            self.s.key("Tab")
            wait_for(lambda: self.focus() != before, timeout=10, what="Tab to move the focus")
        assert self.focus() == control, f"Tab never reached {control}"

    def save(self, folder):
        """Clicks the report picture; returns the new log once Notepad shows it,
        and closes that Notepad again (it lies over the pictures)."""
        existing = logs(folder)
        self.click(REPORT)
        log = wait_for(lambda: [p for p in logs(folder) if p not in existing], timeout=30, what="a new log file")[0]
        self.s.wait_window(classname="Notepad", caption=f"{log.name} - Notepad", timeout=60)
        self.s.key("alt+F4")
        self.s.wait_window_gone(classname="Notepad")
        return log

    def running(self):
        return self.process.poll() is None and self.s.find_window(classname=WINDOW) is not None

    def wait_exit(self):
        wait_for(lambda: self.process.poll() is not None, timeout=30, what="the program to end")


def logs(folder):
    """The log files a save may have written in a folder."""
    return sorted(p for p in Path(folder).iterdir() if re.fullmatch(r"Vantrel \d\d-\d\d-\d\d \d\d-\d\d-\d\d\.log", p.name))


def blocked_log_names(folder, seconds=180):
    """Puts a folder in the way of every log name of the next few minutes."""
    now = time.time()
    for offset in range(-2, seconds):
        stamp = time.strftime("%d-%m-%y %H-%M-%S", time.localtime(now + offset))
        (Path(folder) / f"Vantrel {stamp}.log").mkdir(exist_ok=True)
