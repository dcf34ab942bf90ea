"""The window and its commands, driven through the real exe under Wine."""

import unittest

from harness import wait_for
from vantrel import (BANNER, CAPTION, EXE, EXIT, IDOK, NX6, NX7, OUTPUT, PLANS, REPORT, REP_CLEAR, WINDOW, App,
                     Scenario, blocked_log_names, logs)

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_TABSTOP = 0x00020000, 0x00010000, 0x00010000
ES_MULTILINE, ES_AUTOHSCROLL, WS_VSCROLL, WS_HSCROLL = 0x0004, 0x0080, 0x00200000, 0x00100000
SS_NOTIFY = 0x0100


class WindowStructure(unittest.TestCase):
    def test_layout_focus_order_and_keys_on_xp(self):
        with Scenario("window_structure_winxp", "winxp") as s:
            app = App(s)
            tree = app.tree()
            s.screenshot("window.png")
            self.assertEqual(CAPTION, tree["caption"])
            self.assertEqual([252, 326, 667, 235], tree["client"])
            style = tree["style"]
            self.assertEqual(WS_CAPTION | WS_SYSMENU, style & (WS_CAPTION | WS_SYSMENU))
            self.assertEqual(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX))

            children = [(c["id"], c["class"].upper(), c["rect"]) for c in tree["children"]]
            self.assertEqual([
                (NX6, "BUTTON", [16, 56, 89, 25]),
                (NX7, "BUTTON", [16, 88, 89, 25]),
                (OUTPUT, "EDIT", [120, 56, 537, 169]),
                (EXIT, "BUTTON", [16, 200, 89, 25]),
                (REPORT, "STATIC", [120, 24, 24, 24]),
                (REP_CLEAR, "STATIC", [152, 24, 24, 24]),  # in front of the banner
                (BANNER, "STATIC", [168, 0, 497, 57]),
            ], children)
            texts = {c["id"]: c.get("text") for c in tree["children"]}
            self.assertEqual(("Nimbrax 6", "Nimbrax 7", "Exit"), (texts[NX6], texts[NX7], texts[EXIT]))
            styles = {c["id"]: c["style"] for c in tree["children"]}
            self.assertTrue(styles[OUTPUT] & ES_MULTILINE and styles[OUTPUT] & WS_VSCROLL)
            self.assertFalse(styles[OUTPUT] & (ES_AUTOHSCROLL | WS_HSCROLL))
            for picture in (REPORT, REP_CLEAR, BANNER):
                self.assertFalse(styles[picture] & WS_TABSTOP)
            self.assertTrue(styles[REPORT] & SS_NOTIFY and styles[REP_CLEAR] & SS_NOTIFY)
            self.assertFalse(styles[BANNER] & SS_NOTIFY)
            self.assertEqual(b"", app.text())

            # Tab runs NX6, NX7, output, exit and round again; never a picture.
            order = []
            for _ in range(5):
                s.key("Tab")
                order.append(wait_for(lambda prev=order[-1] if order else NX6: (
                    lambda f: f if f != prev else None)(app.focus()), what="focus to move"))
            self.assertEqual([NX7, OUTPUT, EXIT, NX6, NX7], order)
            s.key("shift+Tab")
            wait_for(lambda: app.focus() == NX6, what="Shift+Tab back to NX6")

            # Esc and Enter press nothing here; the window stays and asks nothing.
            s.key("Escape")
            s.key("Tab", "Tab")
            wait_for(lambda: app.focus() == OUTPUT, what="focus in the report box")
            s.key("Escape")
            s.type_text("typed")
            app.wait_text(b"typed")
            self.assertTrue(app.running())
            self.assertIsNone(s.find_window(classname="#32770"))

            app.click(BANNER)
            app.click(EXIT)
            app.wait_exit()


class SaveFailures(unittest.TestCase):
    def test_a_folder_in_the_way_keeps_the_program_and_its_report(self):
        with Scenario("save_blocked_winxp", "winxp") as s:
            app = App(s)
            app.clean(NX6, PLANS[("NX6", "NT")].all_failed())
            blocked_log_names(s.drive_c)
            app.click(REPORT)
            box = s.wait_window(classname="#32770", caption=CAPTION, timeout=30)
            message = [t for t in box["texts"] if t.startswith("The report could not be saved to C:Vantrel ")]
            self.assertEqual(1, len(message), box["texts"])
            s.screenshot("save_failed.png")
            s.click_control("#32770", IDOK)
            s.wait_window_gone(classname="#32770")
            self.assertTrue(app.running())
            app.wait_text(PLANS[("NX6", "NT")].all_failed())
            self.assertIsNone(s.find_window(classname="Notepad"))

    def test_notepad_missing_from_windows_is_reported_and_no_stray_one_runs(self):
        with Scenario("notepad_missing_winxp", "winxp") as s:
            (s.drive_c / "windows" / "notepad.exe").unlink()
            (s.drive_c / "windows" / "system32" / "notepad.exe").unlink()
            # A notepad.exe beside the program and in the current folder must
            # never be started: this one would open a second tool window.
            folder = s.drive_c / "tools"
            folder.mkdir()
            exe = folder / "Morvel_Vantrel_Only6+7.exe"
            exe.write_bytes(EXE.read_bytes())
            (folder / "notepad.exe").write_bytes(EXE.read_bytes())
            app = App(s, exe=exe, cwd=folder)
            app.type_in_report("note")
            app.click(REPORT)
            box = s.wait_window(classname="#32770", caption=CAPTION, timeout=30)
            self.assertTrue(any("but Notepad could not be started" in t for t in box["texts"]), box["texts"])
            # Saved in the current folder of drive C:.
            log = logs(folder)
            self.assertEqual(1, len(log))
            self.assertEqual(b"note\r\n", log[0].read_bytes())
            s.click_control("#32770", IDOK)
            s.wait_window_gone(classname="#32770")
            self.assertEqual(1, len([w for w in s.windows() if w["class"] == WINDOW]))
            app.wait_text(b"note")


if __name__ == "__main__":
    unittest.main()
