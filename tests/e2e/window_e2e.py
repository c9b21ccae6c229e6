"""End to end: the real program opens its window as designed, drawn with the
designed faces, and ends when the window is closed."""
import unittest

import layout
import targets
from targets import target

CLASSES = {"Caption": "static", "Input": "edit", "Output": "edit", "Convert": "button"}


def is_dark(pixel):
    return max(pixel) < 110


def scaled(value, dpi):
    return value * dpi // 96


class WindowEndToEnd(unittest.TestCase):
    def test_opens_as_designed_and_closes(self):
        for dpi in (96, 192):
            with self.subTest(dpi=dpi):
                if not target().supports(dpi=dpi):
                    self.skipTest(f"the {target().name} target cannot scale to {dpi} dpi")
                with target().start(dpi=dpi) as app:
                    _, _, width, height = app.client()
                    self.assertEqual((width, height), layout.client_size(dpi))
                    self.assertEqual(app.window.get_wm_class(), target().wm_class)

                    controls = app.controls()
                    if controls is not None:
                        for designed in layout.CONTROLS:
                            control = controls.get(designed.name)
                            self.assertIsNotNone(control, f"{designed.name} is there with ID {designed.control_id}")
                            self.assertEqual(control["cls"], CLASSES[designed.role], designed.name)
                            self.assertEqual(control["rect"], layout.rect(designed.name, dpi), designed.name)
                            self.assertTrue(control["visible"], designed.name)
                            self.assertEqual(control["read_only"], designed.role == "Output", designed.name)
                            if designed.role in ("Caption", "Convert"):
                                self.assertEqual(control["text"], designed.caption, designed.name)
                            if designed.role == "Input" and control.get("limit") is not None:
                                self.assertEqual(control["limit"], layout.INPUT_LENGTH_LIMIT, designed.name)
                    if (focus := app.focus()) is not None:
                        self.assertEqual(focus, layout.INPUT_NAMES[0], "R= has the focus at first")

                    app.face(expected=(-1, -1, -1), timeout=0.3)  # let the first frame reach the server
                    pixel = app.pixels()
                    left, top, label_width, label_height = layout.rect("Label1", dpi)
                    label_text = [pixel(x, y) for x in range(left, left + label_width - scaled(9, dpi))
                                  for y in range(top, top + label_height)]
                    self.assertTrue(any(map(is_dark, label_text)), "the R= label shows dark text")
                    # A field lies over the label it overlaps: near the overlap's right edge, clear of
                    # the field's border and of any caret (the focus is in R=), the empty field shows.
                    label = next(c for c in layout.CONTROLS if c.names == layout.INPUT_NAMES[1])
                    label_left, label_top, label_width, label_height = layout.rect(label.name, dpi)
                    field_left, field_top, _, field_height = layout.rect(label.names, dpi)
                    inside = (label_left + label_width - scaled(2, dpi),
                              (max(label_top, field_top) + min(label_top + label_height, field_top + field_height)) // 2)
                    self.assertLess(field_left, inside[0], "the label reaches under the field")
                    self.assertEqual(pixel(*inside), pixel(*layout.centre(label.names, dpi)),
                                     f"{label.names} lies over {label.name}")
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
        with target().start(font_trace=True) as app:
            faces = app.faces()
        self.assertIn("AR PL UKai CN", faces["button"], f"the button's KaiTi, bold, at its size; {faces}")
        self.assertIn("Liberation Serif", faces["fields"], f"the fields' Times New Roman at its size; {faces}")

    def test_falls_back_through_the_designed_faces_in_order(self):
        if not target().supports(font_trace=True, substitutes=False):
            self.skipTest(f"the {target().name} target cannot leave out its font substitutes")
        with target().start(font_trace=True, substitutes=False) as app:
            tried = {font: app.faces_tried(font) for font in layout.FALLBACKS}
        for font, fallbacks in layout.FALLBACKS.items():
            with self.subTest(font=font.face):
                designed = [font.face, *fallbacks]
                asked = [face for face, _ in tried[font]]
                self.assertEqual(asked, designed[:len(asked)], f"asked in the designed order; {tried[font]}")
                found, chosen = tried[font][-1]
                self.assertIn(found, fallbacks, f"a fallback is found; {tried[font]}")
                self.assertEqual(chosen, found, "and drawn with")


if __name__ == "__main__":
    targets.main()
