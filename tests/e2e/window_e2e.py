"""End to end: the real quorvel in a real X server opens its window as designed
and ends when the window is closed."""
import sys
import time
import unittest

from xsession import FACE, XSession

PROGRAM = sys.argv.pop(1)


def is_dark(pixel):
    return max(pixel) < 110


class WindowEndToEnd(unittest.TestCase):
    def test_opens_as_designed_and_closes(self):
        with XSession(PROGRAM) as session:
            app = session.start()
            window = session.find_window("Quorvel")
            _, _, width, height = session.client_geometry(window)
            self.assertEqual((width, height), (312, 206))
            self.assertEqual(window.get_wm_class(), ("quorvel", "Quorvel"))

            time.sleep(0.3)  # let the first frame reach the server
            pixel = session.pixels(window)
            label_text = [pixel(x, y) for x in range(24, 40) for y in range(40, 57)]
            self.assertTrue(any(map(is_dark, label_text)), "the R= label shows dark text")
            face = pixel(*FACE)
            self.assertTrue(all(180 <= channel <= 255 for channel in face), f"button face is light: {face}")
            caption = [pixel(x, y) for x in range(146, 176) for y in range(78, 108)]
            self.assertTrue(any(map(is_dark, caption)), "the button shows its caption")

            session.close(window)
            deadline = time.monotonic() + 2.0
            while app.poll() is None and time.monotonic() < deadline:
                time.sleep(0.02)
            self.assertEqual(app.poll(), 0, "the program ends within 2 s of closing its window")


if __name__ == "__main__":
    unittest.main()
