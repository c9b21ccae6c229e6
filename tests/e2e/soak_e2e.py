"""Soak: 1,000 presses in the real program, alternating good and bad inputs;
the program's resident memory may not grow by more than 1 MiB between the
100th and the 1,000th press."""
import time

import pytest

import layout

PRESSES = 1000
ALLOWED_GROWTH_KIB = 1024


@pytest.mark.timeout(540)
def test_memory_stays_flat_over_a_thousand_presses(app):
    for name in layout.INPUT_NAMES[1:]:
        app.type_into(name, "0")
    app.click(layout.INPUT_NAMES[0])

    resident = {}
    for press in range(1, PRESSES + 1):
        good = press % 2 == 1
        # Enter in the red field presses the button; the focus stays there.
        app.key("ctrl+a")
        app.type(str(press % 256) if good else "abc")
        app.key("Return")
        if good:
            if press % 100 == 1:
                expected = (press % 256, 0, 0)
                assert app.face(expected) == expected, f"press {press}"
        else:
            box = app.find_box()
            assert box is not None, f"press {press} brings up the box"
            assert app.dismiss_box(box), f"press {press}: the box goes"
        if press in (100, PRESSES):
            time.sleep(0.2)
            with open(f"/proc/{app.process.pid}/status") as status:
                resident[press] = next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))

    growth = resident[PRESSES] - resident[100]
    print(f"resident after press 100: {resident[100]} KiB, after {PRESSES}: {resident[PRESSES]} KiB ({growth:+d} KiB)")
    assert growth <= ALLOWED_GROWTH_KIB
