"""End to end: the real program opens its window as designed, drawn with the
designed faces, and ends when the window is closed."""
import re
import time
import unittest

import layout
import targets
from targets import target

CLASSES = {"CaptionLabel": "static", "TextField": "edit", "PushButton": "button"}


def is_dark(pixel):
    return max(pixel) < 110


def scaled(value, dpi):
    return value * dpi // 96


class WindowEndToEnd(unittest.TestCase):
    def test_opens_as_designed_and_closes(self):
        for dpi in (96, 192):
            with self.subTest(dpi=dpi):
                if not target().supports(dpi=dpi):
                    self.skipTest(f"the {target().name} window follows the screen's scale, not a dpi setting")
                with target().start(dpi=dpi) as app:
                    _, _, width, height = app.client()
                    self.assertEqual((width, height), layout.client_size(dpi))
                    self.assertEqual(app.window.get_wm_class(), target().wm_class)

                    controls = app.controls()
                    if controls is not None:
                        for designed in layout.CONTROLS:
                            control = controls.get(designed.name)
                            self.assertIsNotNone(control, f"{designed.name} is there with ID {designed.control_id}")
                            self.assertEqual(control["cls"], CLASSES[designed.kind], designed.name)
                            self.assertEqual(control["rect"], layout.rect(designed.name, dpi), designed.name)
                            self.assertTrue(control["visible"], designed.name)
                            self.assertEqual(control["read_only"], designed.role == "Output", designed.name)
                            if designed.kind != "TextField":
                                self.assertEqual(control["text"], designed.caption, designed.name)
                    if (focus := app.focus()) is not None:
                        self.assertEqual(focus, layout.INPUT_NAMES[0], "R= has the focus at first")

                    app.face(expected=(-1, -1, -1), timeout=0.3)  # let the first frame reach the server
                    pixel = app.pixels()
                    left, top, label_width, label_height = layout.rect("Label1", dpi)
                    label_text = [pixel(x, y) for x in range(left, left + label_width - scaled(9, dpi))
                                  for y in range(top, top + label_height)]
                    self.assertTrue(any(map(is_dark, label_text)), "the R= label shows dark text")
                    face = pixel(*layout.face_point(dpi))
                    self.assertTrue(all(180 <= channel <= 255 for channel in face), f"button face is light: {face}")
                    x, y = layout.centre(layout.BUTTON_NAME, dpi)
                    reach = scaled(15, dpi)
                    caption = [pixel(x + dx, y + dy) for dx in range(-reach, reach) for dy in range(-reach, reach)]
                    self.assertTrue(any(map(is_dark, caption)), "the button shows its caption")

                    app.close()
                    # Under Wine, the exit status counts only now that the window has been seen.
                    self.assertEqual(app.wait_exit(timeout=5), 0, "the program ends within 5 s of closing its window")

    def test_draws_with_the_designed_faces(self):
        if not target().supports(font_trace=True):
            self.skipTest(f"the {target().name} target has no font trace")
        kai_names = {layout.BUTTON_FONT.face, *layout.KAITI_NAMES}
        with target().start(font_trace=True) as app:
            deadline = time.monotonic() + 10
            while True:
                chosen = faces_chosen(app.trace())
                button = {face for (name, height, weight), faces in chosen.items() if name in kai_names
                          and (height, weight) == (layout.font_height(layout.BUTTON_FONT), layout.BUTTON_FONT.weight)
                          for face in faces}
                fields = chosen.get((layout.FIELD_FONT.face, layout.font_height(layout.FIELD_FONT),
                                     layout.FIELD_FONT.weight), set())
                if (button and fields) or time.monotonic() >= deadline:
                    break
                time.sleep(0.2)
        requested = sorted(chosen)
        self.assertEqual(button, {"AR PL UKai CN"}, f"the button's KaiTi, bold, at its size; asked for: {requested}")
        self.assertEqual(fields, {"Liberation Serif"}, f"the fields' Times New Roman at its size; asked for: {requested}")


def faces_chosen(trace):
    """{(face asked for, height, weight): {faces Wine chose}} from a WINEDEBUG=+font trace."""
    asked = {}
    chosen = {}
    for line in trace.splitlines():
        thread = line.split(":", 1)[0]
        if request := SELECT_FONT.search(line):
            asked[thread] = (unescape(request[1]), int(request[2]), int(request[3]))
        elif (face := CHOSEN.search(line)) and thread in asked:
            chosen.setdefault(asked[thread], set()).add(unescape(face[1]))
    return chosen


SELECT_FONT = re.compile(r'font_SelectFont L"((?:[^"\\]|\\.)*)", h=(-?\d+), it=\d+, weight=(\d+)')
CHOSEN = re.compile(r'select_font Chosen: L"((?:[^"\\]|\\.)*)"')


def unescape(wine_text):
    """Wine's trace writes non-ASCII characters as \\xxxx."""
    return re.sub(r"\\([0-9a-fA-F]{4})", lambda m: chr(int(m[1], 16)), wine_text)


if __name__ == "__main__":
    targets.main()
