"""Self-test of the end-to-end harness, using Wine's own Notepad."""

import time
import unittest

from harness import Scenario, wait_for

NOTEPAD = "C:\\windows\\notepad.exe"


class HarnessSelfTest(unittest.TestCase):
    def test_winxp_notepad_probe_and_registry(self):
        t0 = time.monotonic()
        with Scenario("selftest_winxp", "winxp") as s:
            info = s.info()
            self.assertEqual((info["platform"], info["major"], info["minor"]), (2, 5, 1))
            self.assertEqual(info["dpi"], 96)
            self.assertEqual(info["screen"], [1024, 768])

            # Notepad: wait for it, click into the edit box, type, read back.
            s.start(NOTEPAD)
            win = s.wait_window(classname="Notepad", timeout=60)
            self.assertIn("Notepad", win["caption"])
            tree = s.tree("Notepad")
            edits = [c for c in tree["children"] if c["class"].lower() == "edit"]
            self.assertEqual(len(edits), 1, tree["children"])
            edit = edits[0]
            self.assertNotIn("text", edit)
            x, y = s.control_center("Notepad", edit["id"])
            s.click(x, y)
            wait_for(lambda: s.tree("Notepad")["focus_hwnd"] == edit["hwnd"],
                     timeout=30, what="focus in Notepad's edit box")
            s.type_text("hello")
            wait_for(lambda: s.control_text("Notepad", edit["id"]) == b"hello",
                     timeout=30, what="typed text in Notepad")
            state = s.scroll_state("Notepad", edit["id"])
            self.assertEqual(state["line_count"], 1)
            self.assertEqual((state["sel_start"], state["sel_end"]), (5, 5))
            shot = s.screenshot("notepad.png")
            self.assertGreater(shot.stat().st_size, 1000)

            # Registry round trip; the slash is part of the subkey's name.
            key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\VantrelSelfTest"
            self.assertIsNone(s.reg_export(key))
            self.assertEqual(s.reg_query_tree(key), [])
            s.reg_import(
                "REGEDIT4\n\n"
                f"[{key}]\n"
                '"Top"="1"\n\n'
                f"[{key}\\A/B]\n"
                '"Name"="Value \\"quoted\\""\n'
                '"Count"=dword:0000002a\n'
                '@="default"\n')
            self.assertEqual(s.reg_query_tree(key), [
                f"[{key}]",
                f'[{key}] "Top"="1"',
                f"[{key}\\A/B]",
                f'[{key}\\A/B] "Count"=dword:0000002a',
                f'[{key}\\A/B] "Name"="Value \\"quoted\\""',
                f'[{key}\\A/B] @="default"',
            ])
            self.assertEqual(s.wine("reg", "query", key + "\\A/B", "/v", "Count").returncode, 0)
            self.assertEqual(s.wine("reg", "query", key + "\\A").returncode, 1)
            s.wine("reg", "delete", key + "\\A/B", "/f")
            self.assertEqual(s.reg_query_tree(key), [f"[{key}]", f'[{key}] "Top"="1"'])
            prefix = s.prefix
        self.assertFalse(prefix.exists(), "prefix copy should be deleted")
        print(f"\nwinxp scenario: {time.monotonic() - t0:.1f}s {s.timings}")

    def test_probe_megabyte_text_and_scroll(self):
        with Scenario("selftest_bigtext", "win2k") as s:
            lines = [f"Line {i:06d}: caf\xe9 \t tab \"quote\" back\\slash".encode("latin-1")
                     for i in range(25000)]
            content = b"\r\n".join(lines)
            self.assertGreater(len(content), 1000000)
            (s.drive_c / "big.txt").write_bytes(content)
            s.start(NOTEPAD, args=["C:\\big.txt"])
            s.wait_window(classname="Notepad", caption="big.txt - Notepad", timeout=60)
            edit = [c for c in s.tree("Notepad")["children"] if c["class"].lower() == "edit"][0]
            self.assertEqual(s.control_text("Notepad", edit["id"]), content)
            # The list of windows carries the first 4096 bytes, JSON-escaped.
            texts = s.find_window(classname="Notepad")["texts"]
            self.assertEqual(texts[0], content[:4096].decode("latin-1"))
            s.click(*s.control_center("Notepad", edit["id"]))
            s.key("ctrl+End")
            state = wait_for(lambda: (lambda st: st if st["sel_start"] == len(content) else None)(
                s.scroll_state("Notepad", edit["id"])), timeout=30, what="caret at the end")
            self.assertEqual(state["line_count"], 25000)
            self.assertEqual(state["sel_end"], len(content))
            self.assertGreater(state["first_visible_line"], 24900)

    def test_win98_version(self):
        with Scenario("selftest_win98", "win98", dpi=120) as s:
            out = s.wine("reg", "query", "HKCU\\Software\\Wine", "/v", "Version").stdout
            self.assertIn("win98", out)
            info = s.info()
            self.assertEqual((info["platform"], info["major"], info["minor"]), (1, 4, 10))
            self.assertEqual(info["dpi"], 120)
            self.assertFalse(s.windows() is None)


if __name__ == "__main__":
    unittest.main()
