"""Soak: 1,000 presses in the real quorvel, alternating good and bad inputs;
the program's resident memory may not grow by more than 1 MiB between the
100th and the 1,000th press."""
import sys
import time
import unittest

from xsession import FACE, INPUTS, XSession

PROGRAM = sys.argv.pop(1)
PRESSES = 1000
ALLOWED_GROWTH_KIB = 1024


class Soak(unittest.TestCase):
    def test_memory_stays_flat_over_a_thousand_presses(self):
        with XSession(PROGRAM) as session:
            session.start()
            window = session.find_window("Quorvel")
            for x, y in INPUTS[1:]:
                session.type_into(window, x, y, "0")
            session.click(window, *INPUTS[0])

            resident = {}
            for press in range(1, PRESSES + 1):
                good = press % 2 == 1
                red = str(press % 256) if good else "abc"
                # Enter in the red field presses the button; the focus stays there.
                session.xdotool("key", "ctrl+a", "type", "--delay", "0", "--", red)
                session.xdotool("key", "Return")
                if good:
                    if press % 100 == 1:
                        expected = (press % 256, 0, 0)
                        self.assertEqual(session.wait_for_pixel(window, *FACE, expected), expected, f"press {press}")
                else:
                    box = session.find_titled("错误")
                    self.assertIsNotNone(box, f"press {press} brings up the box")
                    session.xdotool("key", "Return")
                    self.assertTrue(session.wait_gone(box), f"press {press}: the box goes")
                if press in (100, PRESSES):
                    time.sleep(0.2)
                    resident[press] = session.resident_kib()

            growth = resident[PRESSES] - resident[100]
            print(f"resident after press 100: {resident[100]} KiB, after {PRESSES}: {resident[PRESSES]} KiB "
                  f"({growth:+d} KiB)")
            self.assertLessEqual(growth, ALLOWED_GROWTH_KIB)


if __name__ == "__main__":
    unittest.main()
