"""The window on small screens, and the end of a report reached without
touching the system's input."""

import unittest

from harness import wait_for
from vantrel import EXIT, IDOK, MESSAGE_BOX, NX6, NX7, OUTPUT, PLANS, REPORT, REP_CLEAR, WINDOW, App, Scenario

WM_CLOSE, WM_COMMAND = 0x0010, 0x0111


class SmallScreens(unittest.TestCase):
    def test_the_whole_window_at_full_size_on_the_screen(self):
        with Scenario("small_screens_winxp", "winxp") as s:
            for width, height in ((800, 600), (640, 480)):
                s.set_screen(f"{width}x{height}")
                tree = App(s).tree()
                s.screenshot(f"window-{width}x{height}.png")
                left, top, right, bottom = tree["window"]
                client_left, client_top = tree["client"][:2]
                self.assertEqual([667, 235], tree["client"][2:])
                if width == 800:  # moved left the least: the right edges meet, the height as at 1024x768
                    self.assertEqual((right, client_top), (800, 326))
                    self.assertTrue(left >= 0 and bottom <= height)
                else:  # wider than the screen: the left edges meet; moved up the least
                    self.assertEqual((left, bottom), (0, 480))
                    self.assertGreaterEqual(top, 0)
                    for control in tree["children"]:
                        x, y, w, h = control["rect"]
                        x, y = client_left + x, client_top + y
                        if control["id"] in (NX6, NX7, EXIT, REPORT, REP_CLEAR):
                            self.assertTrue(0 <= x and x + w <= width and 0 <= y and y + h <= height, control)


class EndOfReport(unittest.TestCase):
    def test_no_keystroke_reaches_a_program_in_front_and_no_held_key_selects(self):
        with Scenario("end_of_report_winxp", "winxp") as s:
            app = App(s)
            plan = PLANS[("NX6", "NT")]
            # Notepad comes to the front while the box asks; the box is then
            # answered, as by a program, with Notepad still in front.
            (s.drive_c / "note.txt").write_bytes(b"first\r\nsecond\r\n")
            app.click(NX6)
            app.confirmation()
            s.start("notepad.exe", args=["C:\\note.txt"])
            wait_for(lambda: (s.find_window(classname="Notepad") or {}).get("foreground"), what="Notepad in front")
            s.post(MESSAGE_BOX, WM_COMMAND, IDOK)
            app.wait_text(plan.all_failed())
            end = len(plan.all_failed())
            state = wait_for(lambda: (lambda st: st["sel_start"] == end and st)(s.scroll_state(WINDOW, OUTPUT)),
                             what="the report's caret at its end")
            self.assertEqual(end, state["sel_end"])
            self.assertGreater(state["first_visible_line"], 0)  # the report is taller than the box
            self.assertEqual(OUTPUT, app.focus())
            s.screenshot("notepad-in-front.png")
            self.assertEqual({"first_visible_line": 0, "line_count": 3, "sel_start": 0, "sel_end": 0},
                             s.scroll_state("Notepad", 0))
            self.assertTrue(s.find_window(classname="Notepad")["foreground"])
            s.post("Notepad", WM_CLOSE)
            s.wait_window_gone(classname="Notepad")

            # Shift held while OK is pressed: the caret at the end, nothing selected.
            app.click(NX7)
            app.confirmation()
            s.xdotool("keydown", "shift")
            s.click_control(MESSAGE_BOX, IDOK)
            app.wait_text(PLANS[("NX7", "NT")].all_failed())
            end = len(PLANS[("NX7", "NT")].all_failed())
            try:
                wait_for(lambda: s.scroll_state(WINDOW, OUTPUT)["sel_end"] == end, what="the caret at the end")
            finally:
                s.xdotool("keyup", "shift")
            self.assertEqual(end, s.scroll_state(WINDOW, OUTPUT)["sel_start"])


if __name__ == "__main__":
    unittest.main()
