"""Both products on every Windows version the tool serves, and the versions
it must leave alone, through the real exe."""

import unittest

from harness import wait_for

from vantrel import (IDCANCEL, IDOK, NEIGHBOURS, NX6, NX7, OUTPUT, PLANS, REPORT, WINDOW, App, Scenario, logs,
                     reg_text, registry, without)


class PlansOnEveryVersion(unittest.TestCase):
    """Generation 6 by mouse, then generation 7 by keyboard, each followed by
    a save and a second run that finds nothing left."""

    def clean_both(self, version, family):
        with Scenario(f"plans_{version}", version) as s:
            app = None
            for code, product in (("NX6", NX6), ("NX7", NX7)):
                plan = PLANS[(code, family)]
                s.reg_import(reg_text(NEIGHBOURS + plan.others + plan.installed))
                before = registry(s, keep_as=f"{code}-registry-before.txt")
                app = app or App(s)
                if code == "NX6":
                    app.clean(product, plan.all_done())
                    # The report box has the focus, its caret at the end.
                    self.assertEqual(OUTPUT, app.focus())
                    wait_for(lambda: s.scroll_state(WINDOW, OUTPUT)["sel_start"] == len(plan.all_done()),
                             what="the caret at the end of the report")
                else:
                    app.focus_on(product)
                    s.key("space")
                    app.confirmation()
                    s.key("Return")  # OK is the default button
                    app.wait_text(plan.all_done())
                s.screenshot(f"{code}-report.png")
                self.assertEqual(without(before, plan.removed), registry(s, keep_as=f"{code}-registry-after.txt"))

                log = app.save(s.drive_c)
                self.assertEqual(plan.all_done().encode() + b"\r\n", log.read_bytes())

                app.clean(product, plan.all_failed())
                self.assertEqual(without(before, plan.removed), registry(s))

    def test_winxp(self):
        self.clean_both("winxp", "NT")

    def test_win2k(self):
        self.clean_both("win2k", "NT")

    def test_nt40(self):
        self.clean_both("nt40", "NT")

    def test_win98(self):
        self.clean_both("win98", "9x")

    def test_winme(self):
        self.clean_both("winme", "9x")


class VersionsWithoutAPlan(unittest.TestCase):
    """Windows 95, Server 2003 and a current Windows: a confirmed cleaning
    empties the report box and touches nothing; a save then does nothing."""

    def leave_alone(self, version):
        with Scenario(f"no_plan_{version}", version) as s:
            s.reg_import(reg_text(NEIGHBOURS + sorted({entry for plan in PLANS.values() for entry in plan.installed})))
            before = registry(s)
            app = App(s)
            app.type_in_report("earlier text")
            app.click(NX7)
            app.answer(IDOK)
            app.wait_text(b"")
            s.screenshot("emptied.png")
            app.click(NX6)
            app.answer(IDOK)
            app.wait_text(b"")
            self.assertEqual(before, registry(s, keep_as="registry-after.txt"))

            app.click(REPORT)
            app.click(NX6)  # a later event: the save has had its turn
            app.answer(IDCANCEL)
            self.assertEqual([], logs(s.drive_c))
            self.assertIsNone(s.find_window(classname="Notepad"))
            self.assertTrue(app.running())

    def test_win95(self):
        self.leave_alone("win95")

    def test_win2003(self):
        self.leave_alone("win2003")

    def test_win10(self):
        self.leave_alone("win10")


if __name__ == "__main__":
    unittest.main()
