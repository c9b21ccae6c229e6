"""Soak: 1,000 presses in the real program, alternating good and bad inputs;
the program's resident memory may not grow by more than 1 MiB between the
100th and the 1,000th press."""
import time
import unittest

import layout
import targets
from targets import target

PRESSES = 1000
ALLOWED_GROWTH_KIB = 1024


class Soak(unittest.TestCase):
    def test_memory_stays_flat_over_a_thousand_presses(self):
        with target().start() as app:
            for name in layout.INPUT_NAMES[1:]:
                app.type_into(name, "0")
            app.click(layout.INPUT_NAMES[0])

            resident = {}
            for press in range(1, PRESSES + 1):
                good = press % 2 == 1
                red = str(press % 256) if good else "abc"
                # Enter in the red field presses the button; the focus stays there.
                app.session.xdotool("key", *app.select_all, "type", "--delay", "0", "--", red)
                app.key("Return")
                if good:
                    if press % 100 == 1:
                        expected = (press % 256, 0, 0)
                        self.assertEqual(app.face(expected), expected, f"press {press}")
                else:
                    box = app.find_box()
                    self.assertIsNotNone(box, f"press {press} brings up the box")
                    self.assertTrue(app.dismiss_box(box), f"press {press}: the box goes")
                if press in (100, PRESSES):
                    time.sleep(0.2)
                    resident[press] = app.resident_kib()

            growth = resident[PRESSES] - resident[100]
            print(f"resident after press 100: {resident[100]} KiB, after {PRESSES}: {resident[PRESSES]} KiB "
                  f"({growth:+d} KiB)")
            self.assertLessEqual(growth, ALLOWED_GROWTH_KIB)


if __name__ == "__main__":
    targets.main()
