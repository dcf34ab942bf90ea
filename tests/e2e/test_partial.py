"""Empty registries and partial installs on both families: each group's
line follows its last step, and exactly the named entries go."""

import unittest

from vantrel import (APP, CV, NEIGHBOURS, NX6, NX7, PLANS, SERVICES_6, SERVICES_7, SOURCES_7, SVC, VENDOR_6,
                     VENDOR_7_9X, VENDOR_7_NT, App, Scenario, reg_text, registry, without)


class PartialStates(unittest.TestCase):
    def run_case(self, s, app, name, product, seed, expected_report, removed):
        s.reg_import(reg_text(seed))
        before = registry(s, keep_as=f"{name}-registry-before.txt")
        app.clean(product, expected_report)
        s.screenshot(f"{name}.png")
        self.assertEqual(without(before, removed), registry(s, keep_as=f"{name}-registry-after.txt"), name)

    def test_nt_family(self):
        nx6, nx7 = PLANS[("NX6", "NT")], PLANS[("NX7", "NT")]
        with Scenario("partial_win2k", "win2k") as s:
            s.reg_import(reg_text(NEIGHBOURS))
            app = App(s)
            # Nothing installed: every group fails, nothing changes.
            self.run_case(s, app, "empty", NX7, NEIGHBOURS, nx7.all_failed(), [])

            # A stranger under the vendor key, the last Run value missing, a
            # service with a subkey of its own, one event-log source missing.
            seed = (VENDOR_6 + ["SOFTWARE\\K+LUMO\\Licence | Key", CV + "Run | NXGCtrl",
                                CV + "Uninstall\\Nimbrax/XP | DisplayName"] + SERVICES_6 +
                    [SVC + "NimbraxService\\Parameters | Level", APP + "NXWUpSrv", APP + "nxsntdw"])
            self.run_case(
                s, app, "nx6", NX6, seed,
                nx6.report([False, False, True, True, False, True, True, True, True, False, True]),
                ["SOFTWARE\\K+LUMO\\NXWIN/95", "SOFTWARE\\K+LUMO\\NXWIN/NT", "SOFTWARE\\K+LUMO\\Velmora Console",
                 CV + "Run | NXGCtrl", CV + "Uninstall\\Nimbrax/XP", SVC + "NimbraxMailService",
                 SVC + "NimbraxService\\Enum", SVC + "NimbraxService\\Security", SVC + "NXEService",
                 SVC + "nxsntdw", SVC + "NXWUpSrv", APP + "NXWUpSrv", APP + "nxsntdw"])

            # A plug-in outside the eight keeps its parents and the vendor key;
            # the service left with its Parameters above fails again.
            plugins = "SOFTWARE\\K+LUMO\\Nimbrax Workstation\\Plugins\\"
            self.run_case(
                s, app, "nx7", NX7, VENDOR_7_NT + [plugins + "Antispam"] + SERVICES_7 + SOURCES_7,
                nx7.report([False, True, False, True, True, True, True, True]),
                [plugins + name for name in ("Sentinex", "License", "IsoMgr", "Reporter", "Scanner", "Scheduler",
                                             "MailSentinex", "Update")] +
                ["SOFTWARE\\K+LUMO\\Workstation", "SOFTWARE\\K+LUMO\\Velmora Console"] +
                [SVC + name for name in ("NimbraxMailService", "NimbraxService\\Enum", "NimbraxService\\Security",
                                         "NimbraxScheduler", "NXEService", "nxsntdd", "nxsntmgr")] +
                [APP + "K+LUMO Nimbrax"])

    def test_9x_family(self):
        nx6, nx7 = PLANS[("NX6", "9x")], PLANS[("NX7", "9x")]
        with Scenario("partial_winme", "winme") as s:
            s.reg_import(reg_text(NEIGHBOURS))
            app = App(s)
            self.run_case(s, app, "empty", NX6, NEIGHBOURS, nx6.all_failed(), [])

            # The vendor key goes with a stranger below it; a missing last
            # RunServices value fails its group though the others went.
            # (Wine's 98 mode deletes a subtree only while no key in it has
            # two subkeys; Windows 98 deletes any subtree. The stranger here
            # is one chain, so both agree.)
            seed = VENDOR_7_9X + ["SOFTWARE\\K+LUMO\\Licence\\Old | Key",
                                  CV + "RunServices | nxesvcm", CV + "RunServices | nxmailcm",
                                  CV + "Uninstall\\Nimbrax Windows Workstation"]
            self.run_case(s, app, "nx7", NX7, seed, nx7.report([True, False, True]),
                          ["SOFTWARE\\K+LUMO", CV + "RunServices | nxesvcm", CV + "RunServices | nxmailcm",
                           CV + "Uninstall\\Nimbrax Windows Workstation"])

            # Only the last Run value: its group is done, the others fail.
            self.run_case(s, app, "nx6", NX6, [CV + "Run | NXWUpd32"], nx6.report([False, True, False]),
                          [CV + "Run | NXWUpd32"])


if __name__ == "__main__":
    unittest.main()
