"""Keyboard use, text in the report box, scaling, and ending the program,
as a user meets them."""

import contextlib
import unittest
from pathlib import Path

from harness import wait_for
from vantrel import (BANNER, CAPTION, EXE, EXIT, IDCANCEL, MESSAGE_BOX, NEIGHBOURS, NX6, NX7, OUTPUT, PLANS, REPORT,
                     REP_CLEAR, WINDOW, App, Scenario, logs, reg_text, registry)


class Keyboard(unittest.TestCase):
    def test_space_enter_escape_and_cancel(self):
        plan = PLANS[("NX6", "NT")]
        with Scenario("keyboard_winxp", "winxp") as s:
            s.reg_import(reg_text(NEIGHBOURS + plan.installed))
            before = registry(s)
            app = App(s)
            # Space on the focused NX6 asks; Esc in the box is Cancel.
            s.key("space")
            app.confirmation()
            s.key("Escape")
            s.wait_window_gone(classname="#32770")
            self.assertEqual(b"", app.text())
            self.assertEqual(before, registry(s))
            wait_for(lambda: app.focus() == NX6, what="the focus back on NX6")

            # Esc and Enter on the window press no other button.
            s.key("Escape")
            app.focus_on(NX7)
            s.key("Escape")
            self.assertIsNone(s.find_window(classname="#32770"))
            # Enter presses the focused button only: here NX7, asking first.
            s.key("Return")
            app.confirmation()
            s.click_control("#32770", IDCANCEL)
            s.wait_window_gone(classname="#32770")
            self.assertEqual(before, registry(s))

            app.focus_on(NX6)
            s.key("Return")
            app.confirmation()
            s.key("Return")
            app.wait_text(plan.all_done())
            self.assertEqual(OUTPUT, app.focus())
            # In the report box Enter starts a new line and Esc does nothing.
            s.key("ctrl+End", "Return", "Escape")
            s.type_text("note")
            app.wait_text(plan.all_done() + "\r\nnote")
            self.assertTrue(app.running())
            s.screenshot("keyboard.png")


class ReportText(unittest.TestCase):
    def test_typed_wide_long_and_foreign_text(self):
        with Scenario("text_winxp", "winxp") as s:
            app = App(s)
            app.click(OUTPUT)
            # A wide line wraps: one line of text, several lines in the box.
            wide = "wide " * 60
            s.type_text(wide)
            app.wait_text(wide.encode())
            self.assertGreater(s.scroll_state(WINDOW, OUTPUT)["line_count"], 2)
            # Characters outside the code page are saved as its "?"; the rest
            # in the code page itself (the euro sign is 0x80).
            s.type_text(" caf\u00e9 \u20ac \u4e2d")
            app.wait_text((wide + " caf\u00e9 \u20ac ?").encode("cp1252"))
            log = app.save(s.drive_c)
            self.assertEqual((wide + " caf\u00e9 \u20ac ?\r\n").encode("cp1252"), log.read_bytes())
            s.screenshot("wide.png")

            # Typed text stays until a command replaces it.
            app.click(NX7)
            app.answer(IDCANCEL)
            app.wait_text((wide + " caf\u00e9 \u20ac ?").encode("cp1252"))

            # A megabyte pasted in scrolls vertically and saves whole.
            lines = [f"{i:06d} !! SOFTWARE\\K+LUMO - Failed to delete the (sub) key!" for i in range(20000)]
            big = "\r\n".join(lines).encode("cp1252")
            self.assertGreater(len(big), 1_000_000)
            app.click(REP_CLEAR)
            app.wait_text(b"")
            s.clip(big)
            app.click(OUTPUT)
            s.key("ctrl+v")
            wait_for(lambda: len(app.text()) == len(big), timeout=60, what="the pasted megabyte")
            self.assertEqual(big, app.text())
            state = s.scroll_state(WINDOW, OUTPUT)
            self.assertEqual(len(big), state["sel_start"])
            self.assertGreater(state["first_visible_line"], 19000)
            s.screenshot("megabyte.png")
            log = app.save(s.drive_c)
            self.assertEqual(big + b"\r\n", log.read_bytes())


class Scaling(unittest.TestCase):
    def test_120_dpi_scales_twips_and_keeps_pictures_natural(self):
        with Scenario("dpi120_winxp", "winxp", dpi=120) as s:
            app = App(s)
            tree = app.tree()
            s.screenshot("window-120dpi.png")
            # Too wide where it would stand: moved left the least, the right edges meet.
            left, top, right, bottom = tree["window"]
            self.assertEqual([1024, 408, 834, 294], [right] + tree["client"][1:])
            self.assertTrue(left >= 0 and top >= 0 and bottom <= 768)
            self.assertEqual([
                (NX6, [20, 70, 111, 31]), (NX7, [20, 110, 111, 31]), (OUTPUT, [150, 70, 671, 211]),
                (EXIT, [20, 250, 111, 31]), (REPORT, [150, 30, 24, 24]), (REP_CLEAR, [190, 30, 24, 24]),
                (BANNER, [210, 0, 497, 57]),
            ], [(c["id"], c["rect"]) for c in tree["children"]])


class PictureButtons(unittest.TestCase):
    def test_only_a_press_and_release_over_a_picture_clicks_it(self):
        with Scenario("pictures_winxp", "winxp") as s:
            app = App(s)
            app.type_in_report("kept")
            # Pressed on the picture, released beside it: no click.
            for picture in (REP_CLEAR, REPORT):
                x, y = s.control_center(WINDOW, picture)
                s.xdotool("mousemove", str(x), str(y), "mousedown", "1",
                          "mousemove", str(x + 80), str(y + 80), "mouseup", "1")
            app.click(NX7)  # a later event: the releases have had their turn
            app.answer(IDCANCEL)
            app.wait_text(b"kept")
            self.assertEqual([], logs(s.drive_c))
            # Pressed and released over it, it is.
            app.click(REP_CLEAR)
            app.wait_text(b"")
            # A double click is one click: one log, one Notepad. NX7, clicked
            # right after, asks once both clicks have had their turn.
            app.type_in_report("once")
            s.xdotool("mousemove", *map(str, s.control_center(WINDOW, REPORT)), "click", "--repeat", "2", "--delay",
                      "50", "1", "mousemove", *map(str, s.control_center(WINDOW, NX7)), "click", "1")
            app.confirmation()
            self.assertEqual([b"once\r\n"], [log.read_bytes() for log in logs(s.drive_c)])
            self.assertEqual(1, len(notepads(s)))
            s.post(MESSAGE_BOX, 0x0111, IDCANCEL)  # WM_COMMAND


def notepads(s):
    """Notepad processes of the scenario's prefix, their windows shown or not yet."""
    tag, found = f"WINEPREFIX={s.prefix}".encode(), []
    for process in Path("/proc").iterdir():
        with contextlib.suppress(OSError):
            if tag in (process / "environ").read_bytes().split(b"\0") and \
                    (process / "cmdline").read_bytes().split(b"\0")[0].lower().endswith(b"notepad.exe"):
                found.append(process.name)
    return found


class Launch(unittest.TestCase):
    def test_a_maximised_launch_keeps_the_fixed_window(self):
        with Scenario("launch_maximised_winxp", "winxp") as s:
            s.start("start", args=["/max", s.windows_path_of(EXE)])
            s.wait_window(classname=WINDOW, caption=CAPTION, timeout=60)
            wait_for(lambda: s.tree(WINDOW)["focus_id"] == NX6, what="NX6 focused at start")
            s.screenshot("launched-maximised.png")
            self.assertEqual([252, 326, 667, 235], s.tree(WINDOW)["client"])


class Ending(unittest.TestCase):
    def test_exit_and_close_box_end_at_once(self):
        with Scenario("ending_winxp", "winxp") as s:
            app = App(s)
            app.type_in_report("unsaved")
            app.click(EXIT)
            app.wait_exit()

            app = App(s)
            app.type_in_report("unsaved")
            left, top, right, _ = app.tree()["window"]
            s.click(right - 14, top + 12)  # the close box at the caption's right end
            app.wait_exit()
            self.assertEqual([], logs(s.drive_c))
            self.assertIsNone(s.find_window(caption=CAPTION))


if __name__ == "__main__":
    unittest.main()
