"""End to end: a person types into the real program, pastes into it, presses
the button, and reads the outputs back through the clipboard."""
import subprocess
import time
import unittest

import layout
import targets
from targets import target

R, G, B = layout.INPUT_NAMES
BUTTON = layout.BUTTON_NAME
EMPTY = ["", "", "", ""]
CONVERTED = ["0", "49.804", "74.902", "87.451"]   # 128, 64, 32
OK_BUTTON = {"C": "OK", "zh_CN": "确定"}


class ConvertEndToEnd(unittest.TestCase):
    def expect_box_and_dismiss(self, app, channel, language="C"):
        """The box names the channel, has only its OK button, no icon, and holds the window until dismissed."""
        window = app.find_box()
        self.assertIsNotNone(window, f"the {layout.ERROR_TITLE} box comes up as its own window")
        box = app.box(window)
        self.assertEqual(box.title, layout.ERROR_TITLE)
        expected = dict(text=layout.MESSAGES[channel], buttons=[OK_BUTTON[language]], icon=False,
                        owned_by_window=True, window_disabled=True)
        for reading, value in expected.items():
            if getattr(box, reading) is not None:
                self.assertEqual(getattr(box, reading), value, reading)
        self.assertTrue(app.dismiss_box(window), "Enter dismisses the box")
        return box

    def test_conversions_as_a_person_makes_them(self):
        with target().start() as app:
            platform_face = app.face()

            for name, rgb, channel in (("all empty", ("", "", ""), "R"),
                                       ("G out of range", ("10", "300", "abc"), "G"),
                                       ("B negative", ("100", "100", "-5"), "B")):
                with self.subTest("every channel's failure leaves the window as it was", row=name):
                    app.convert(*rgb)
                    self.expect_box_and_dismiss(app, channel)
                    self.assertEqual(app.outputs(), EMPTY)
                    self.assertEqual(app.face(), platform_face)

            with self.subTest("success"):
                app.convert("128", "64", "32")
                self.assertIsNone(app.find_box(timeout=0.3))
                self.assertEqual(app.outputs(), CONVERTED)
                self.assertEqual(app.face((128, 64, 32)), (128, 64, 32))

            with self.subTest("failure after success keeps the earlier display"):
                app.convert("255", "1e400", "0")
                self.expect_box_and_dismiss(app, "G")
                self.assertEqual(app.outputs(), CONVERTED)
                self.assertEqual(app.face((128, 64, 32)), (128, 64, 32))
                self.assertEqual(app.read(G), "1e400")

            with self.subTest("the window takes no input while the box is open"):
                app.convert("x", "0", "0")
                box = app.find_box()
                self.assertIsNotNone(box)
                app.click(B)
                app.type("9")
                app.click(BUTTON)
                self.assertTrue(app.dismiss_box(box))
                self.assertIsNone(app.find_box(timeout=0.5), "no second box")
                self.assertEqual(app.read(B), "0")

            with self.subTest("Enter in an input converts"):
                app.type_into(R, "255")
                app.type_into(G, "0")
                app.type_into(B, "0")
                app.key("Return")
                self.assertEqual(app.face((255, 0, 0)), (255, 0, 0))
                app.key("Tab")  # keyboard focus on the button keeps its face exact
                if (focus := app.focus()) is not None:
                    self.assertEqual(focus, BUTTON)
                self.assertEqual(app.face((255, 0, 0)), (255, 0, 0))
                self.assertEqual(app.outputs(), ["0", ".000", "100.000", "100.000"])

    def test_return_on_the_focused_button_converts_once(self):
        with target().start() as app:
            app.type_into(R, "abc")
            app.type_into(G, "0")
            app.type_into(B, "0")
            app.key("Tab")
            if (focus := app.focus()) is not None:
                self.assertEqual(focus, BUTTON, "Tab from B= reaches 转")
            app.key("Return")
            box = app.find_box()
            self.assertIsNotNone(box, "Return on 转 converts")
            self.assertEqual(len(app.boxes()), 1, "exactly one box")
            self.assertTrue(app.dismiss_box(box))
            self.assertIsNone(app.find_box(timeout=1.0), "no second box after the first is dismissed")
            self.assertEqual(app.outputs(), EMPTY)

    def test_holding_enter_down_dismisses_the_box_once(self):
        with target().start() as app:
            app.type_into(R, "abc")
            app.key("Return")
            box = app.find_box()
            self.assertIsNotNone(box)
            held = subprocess.Popen(["xdotool", "keydown", "Return", "sleep", "1.5", "keyup", "Return"],
                                    env=app.session.env)
            try:
                self.assertTrue(app.session.wait_gone(box), "the held Enter dismisses the box")
                # Its repeats press nothing: no box comes while it is held, nor after.
                while held.poll() is None:
                    self.assertEqual(app.boxes(), [], "no second box while Enter is held")
                    time.sleep(0.02)
            finally:
                held.wait()
            self.assertIsNone(app.find_box(timeout=1.0), "no second box once it is let go")

    def test_pastes_through_the_clipboard(self):
        with target().start() as app:
            with self.subTest("a spreadsheet row fills R, G and B and converts nothing"):
                app.paste_into(G, "128\t64\t32\n")
                self.assertEqual([app.read(name) for name in layout.INPUT_NAMES], ["128", "64", "32"])
                self.assertEqual(app.outputs(), EMPTY, "nothing converted yet")
                app.click(BUTTON)
                self.assertEqual(app.outputs(), CONVERTED)

            with self.subTest("the first non-empty line goes in, without its line breaks"):
                app.type_into(G, "0")
                app.type_into(B, "0")
                app.paste_into(R, "\r\n128\r\n64\r\n")
                self.assertEqual(app.read(R), "128")
                app.click(BUTTON)
                self.assertIsNone(app.find_box(timeout=0.3))
                self.assertEqual(app.outputs(), ["0", "49.804", "100.000", "100.000"])

            if target().name == "qt":  # X's primary selection; Windows has none
                with self.subTest("a middle click pastes the selection by the same rule"):
                    app.type_into(R, "")
                    app.session.set_clipboard("1\t2\t3\n", selection="primary")
                    app.session.xdotool("click", "2")  # where type_into left the mouse: over R
                    self.assertEqual([app.read(name) for name in layout.INPUT_NAMES], ["1", "2", "3"])

            with self.subTest("the longest paste an input takes is not cut"):
                app.type_into(G, "64")
                app.type_into(B, "32")
                app.paste_into(R, "0" * (layout.INPUT_LENGTH_LIMIT - 3) + "128")
                app.click(BUTTON)
                self.assertIsNone(app.find_box(timeout=0.3), "the limit's worth of characters read as 128")
                self.assertEqual(app.outputs(), CONVERTED)

    def test_a_copied_colour_goes_in_and_comes_back_out(self):
        with target().start() as app:
            app.paste_into(R, "#804020")
            self.assertEqual([app.read(name) for name in layout.INPUT_NAMES], ["128", "64", "32"])
            self.assertEqual(app.outputs(), EMPTY, "nothing converted yet")
            app.click(BUTTON)
            self.assertEqual(app.outputs(), CONVERTED)
            app.click(BUTTON)  # the same press again, which leaves 转 focused
            self.assertEqual(app.session.copy_focused(select_all=(), wait=app.copy_wait), "#804020")

    def test_a_comma_locale_reads_and_writes_commas(self):
        with target().start(comma=True) as app:
            app.convert("12,5", "0", "255")
            self.assertEqual(app.outputs(), ["0", "95,098", "100,000", ",000"])
            self.assertEqual(app.face((12, 0, 255)), (12, 0, 255))
            app.convert("12.5", "0", "255")
            self.expect_box_and_dismiss(app, "R")

    def test_the_box_speaks_the_language(self):
        for language in ("zh_CN", "C"):
            with self.subTest(language=language), target().start(language=language) as app:
                app.click(BUTTON)
                box = self.expect_box_and_dismiss(app, "R", language)
                if box.buttons is None:
                    self.skipTest(f"the {target().name} target cannot read the box's button")


if __name__ == "__main__":
    targets.main()
