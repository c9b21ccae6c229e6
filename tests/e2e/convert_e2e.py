"""End to end: a person types into the real quorvel in a real X server, presses
the button, and reads the outputs back through the clipboard."""
import sys
import time
import unittest

from xsession import BUTTON, FACE, INPUTS, OUTPUTS, XSession

PROGRAM = sys.argv.pop(1)


class ConvertEndToEnd(unittest.TestCase):
    def outputs(self, session, window):
        return [session.copy_from(window, x, y) for x, y in OUTPUTS]

    def face(self, session, window, expected=None):
        if expected is None:
            time.sleep(0.1)
            return session.pixels(window)(*FACE)
        return session.wait_for_pixel(window, *FACE, expected)

    def expect_box_and_dismiss(self, session):
        box = session.find_titled("错误")
        self.assertIsNotNone(box, "the 错误 box comes up as its own window")
        session.xdotool("key", "Return")
        self.assertTrue(session.wait_gone(box), "Enter dismisses the box")

    def test_conversions_as_a_person_makes_them(self):
        with XSession(PROGRAM) as session:
            session.start()
            window = session.find_window("Quorvel")
            time.sleep(0.3)
            platform_face = self.face(session, window)

            with self.subTest("every channel's failure leaves the window as it was"):
                for rgb in (("", "", ""), ("10", "300", "abc"), ("100", "100", "-5")):
                    session.convert(window, *rgb)
                    self.expect_box_and_dismiss(session)
                    self.assertEqual(self.outputs(session, window), ["", "", "", ""])
                    self.assertEqual(self.face(session, window), platform_face)

            with self.subTest("success"):
                session.convert(window, "128", "64", "32")
                self.assertIsNone(session.find_titled("错误", timeout=0.3))
                self.assertEqual(self.outputs(session, window), ["0", "49.804", "74.902", "87.451"])
                self.assertEqual(self.face(session, window, (128, 64, 32)), (128, 64, 32))

            with self.subTest("failure after success keeps the earlier display"):
                session.convert(window, "255", "1e400", "0")
                self.expect_box_and_dismiss(session)
                self.assertEqual(self.outputs(session, window), ["0", "49.804", "74.902", "87.451"])
                self.assertEqual(self.face(session, window, (128, 64, 32)), (128, 64, 32))
                self.assertEqual(session.copy_from(window, *INPUTS[1]), "1e400")

            with self.subTest("the window takes no input while the box is open"):
                session.convert(window, "x", "0", "0")
                box = session.find_titled("错误")
                self.assertIsNotNone(box)
                session.click(window, *INPUTS[2])
                session.xdotool("type", "--delay", "5", "9")
                session.click(window, *BUTTON)
                session.xdotool("key", "Return")
                self.assertTrue(session.wait_gone(box))
                self.assertIsNone(session.find_titled("错误", timeout=0.5), "no second box")
                self.assertEqual(session.copy_from(window, *INPUTS[2]), "0")

            with self.subTest("Enter in an input converts"):
                session.type_into(window, *INPUTS[0], "255")
                session.type_into(window, *INPUTS[1], "0")
                session.type_into(window, *INPUTS[2], "0")
                session.xdotool("key", "Return")
                self.assertEqual(self.face(session, window, (255, 0, 0)), (255, 0, 0))
                session.xdotool("key", "Tab")  # keyboard focus on the button keeps its face exact
                self.assertEqual(self.face(session, window, (255, 0, 0)), (255, 0, 0))
                self.assertEqual(self.outputs(session, window), ["0", ".000", "100.000", "100.000"])

    def test_a_comma_locale_reads_and_writes_commas(self):
        with XSession(PROGRAM) as session:
            session.start(extra_env={"LC_ALL": "de_DE.UTF-8"})
            window = session.find_window("Quorvel")
            session.convert(window, "12,5", "0", "255")
            self.assertEqual(self.outputs(session, window), ["0", "95,098", "100,000", ",000"])
            self.assertEqual(self.face(session, window, (12, 0, 255)), (12, 0, 255))
            session.convert(window, "12.5", "0", "255")
            self.expect_box_and_dismiss(session)


if __name__ == "__main__":
    unittest.main()
