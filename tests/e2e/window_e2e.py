"""End to end: the real program opens its window as designed, drawn with the
designed faces, and ends when the window is closed."""
import subprocess
import time

import pytest

import layout
from xsession import wait_until

pytestmark = pytest.mark.timeout(100)
CLASSES = {"Caption": "static", "Input": "edit", "Output": "edit", "Convert": "button"}


def is_dark(pixel):
    return max(pixel) < 110


def scaled(value, dpi):
    return value * dpi // 96


@pytest.mark.parametrize("dpi", [96, 192])
def test_opens_as_designed_and_closes(target, start, dpi):
    app = start(dpi=dpi)
    _, _, width, height = app.client
    assert (width, height) == layout.client_size(dpi)
    assert app.window.get_wm_class() == target.wm_class

    controls = app.controls()
    for designed in layout.CONTROLS:
        control = controls.get(designed.name)
        assert control is not None, f"{designed.name} is there with ID {designed.control_id}"
        assert control["cls"] == CLASSES[designed.role], designed.name
        assert control["rect"] == layout.rect(designed.name, dpi), designed.name
        assert control["visible"], designed.name
        assert control["read_only"] == (designed.role == "Output"), designed.name
        if designed.role in ("Caption", "Convert"):
            assert control["text"] == designed.caption, designed.name
        if designed.role == "Input" and control.get("limit") is not None:
            assert control["limit"] == layout.INPUT_LENGTH_LIMIT, designed.name
    if (focus := app.focus()) is not None:
        assert focus == layout.INPUT_NAMES[0], "R= has the focus at first"

    app.face(expected=(-1, -1, -1), timeout=0.3)  # let the first frame reach the server
    pixel = app.pixels()
    left, top, label_width, label_height = layout.rect("Label1", dpi)
    label_text = [pixel(x, y) for x in range(left, left + label_width - scaled(9, dpi))
                  for y in range(top, top + label_height)]
    assert any(map(is_dark, label_text)), "the R= label shows dark text"
    # A field lies over the label it overlaps: near the overlap's right edge, clear of
    # the field's border and of any caret (the focus is in R=), the empty field shows.
    label = next(c for c in layout.CONTROLS if c.names == layout.INPUT_NAMES[1])
    label_left, label_top, label_width, label_height = layout.rect(label.name, dpi)
    field_left, field_top, _, field_height = layout.rect(label.names, dpi)
    inside = (label_left + label_width - scaled(2, dpi),
              (max(label_top, field_top) + min(label_top + label_height, field_top + field_height)) // 2)
    assert field_left < inside[0], "the label reaches under the field"
    assert pixel(*inside) == pixel(*layout.centre(label.names, dpi)), f"{label.names} lies over {label.name}"
    face = pixel(*layout.face_point(dpi))
    assert all(180 <= channel <= 255 for channel in face), f"button face is light: {face}"
    x, y = layout.centre(layout.BUTTON_NAME, dpi)
    reach = scaled(15, dpi)
    caption = [pixel(x + dx, y + dy) for dx in range(-reach, reach) for dy in range(-reach, reach)]
    assert any(map(is_dark, caption)), "the button shows its caption"

    app.session.close(app.window)
    # Under Wine, the exit status counts only now that the window has been seen.
    assert app.process.wait(timeout=5) == 0, "the program ends within 5 s of closing its window"


def test_draws_with_the_designed_faces(start):
    app = start(font_trace=True)
    faces = {use: app.faces(font) for use, font in layout.FONTS.items()}
    assert "AR PL UKai CN" in faces["Button"], f"the button's KaiTi, bold, at its size; {faces}"
    assert "Liberation Serif" in faces["Field"], f"the fields' Times New Roman at its size; {faces}"


@pytest.mark.parametrize("use", ["Button", "Field"])
def test_falls_back_through_the_designed_faces_in_order(target, start, use):
    if "leaving out substitutes" not in target.abilities:
        pytest.skip(f"the {target.name} window cannot leave out its font substitutes")
    font = layout.FONTS[use]
    tried = start(font_trace=True, substitutes=False).faces_tried(font)
    designed = [font.face, *font.fallbacks]
    asked = [face for face, _ in tried]
    assert asked == designed[:len(asked)], f"asked in the designed order; {tried}"
    found, chosen = tried[-1]
    assert found in font.fallbacks, f"a fallback is found; {tried}"
    assert chosen == found, "and drawn with"


def test_the_window_icon_is_the_designed_one(app):
    """Every size the window offers (_NET_WM_ICON) is the picture of the desktop's file of that size."""
    atom, icons = app.session.x.intern_atom("_NET_WM_ICON"), {}
    values = wait_until("the icon", lambda: list(getattr(app.window.get_full_property(atom, 0), "value", [])), 10)
    while values:
        width, height, values = values[0], values[1], values[2:]
        icons[width], values = values[:width * height], values[width * height:]
    for size, pixels in icons.items():
        png = layout.SOURCE / "resources" / "icons" / f"quorvel-{size}.png"
        if png.exists():
            rgba = subprocess.run(["convert", str(png), "rgba:-"], capture_output=True, check=True).stdout
            assert [p & 0xFFFFFFFF for p in pixels] == [a << 24 | r << 16 | g << 8 | b for r, g, b, a in
                                                         zip(*[iter(rgba)] * 4)], f"the {size}-pixel icon"
    assert {16, 32} <= set(icons), f"sizes offered: {sorted(icons)}"


def ink(pixel, left, top, width, height):
    """(x, y) of every pixel of that rectangle dark in all its channels."""
    return {(x, y) for x in range(left, left + width) for y in range(top, top + height) if max(pixel(x, y)) < 128}


def shapes(points):
    """The distinct shapes of the runs of inked columns the points make: as many as a text has different
    characters, give or take the parts of some, and one for a text of empty squares."""
    columns, found = sorted({x for x, _ in points}), set()
    runs = [[x] for x in columns[:1]]
    for x in columns[1:]:
        runs[-1].append(x) if x == runs[-1][-1] + 1 else runs.append([x])
    for run in runs:
        found.add(frozenset((x - run[0], y) for x, y in points if run[0] <= x <= run[-1]))
    return found


@pytest.mark.parametrize("language", ["C", "zh_CN"])
def test_its_latin_and_chinese_texts_are_drawn_legibly(start, language):
    app = start(language=language)
    r, g = layout.INPUT_NAMES[:2]
    spans = {}
    for text in ("11", "1111", "1.1"):
        app.type_into(r, text)
        app.click(g)  # the caret leaves R=
        left, top, width, height = layout.rect(r, app.dpi)

        def drawn():  # the ink's width, once the field holds the text and shows it all, unchanged a while
            widths = []
            for _ in range(2):
                time.sleep(0.1)
                columns = {x for x, _ in ink(app.pixels(), left + 3, top + 3, width - 6, height - 6)}
                widths.append(max(columns) - min(columns) + 1 if columns else 0)
            return app.text(r) == text and widths[0] == widths[1] >= 4 * len(text) and widths[0]
        spans[text] = wait_until("R= to show it all", drawn, 10)
    digit, period = (spans["1111"] - spans["11"]) / 2, spans["1.1"] - spans["11"]
    assert period < 0.8 * digit, f"the fields draw Times New Roman's narrow period, not a monospaced face's: {spans}"

    pixel = app.pixels()
    left, top, width, height = layout.rect("Label1", app.dpi)
    caption = ink(pixel, left, top, width - scaled(9, app.dpi), height)
    rows = {y for _, y in caption}
    assert rows and max(rows) - min(rows) + 1 >= scaled(7, app.dpi), f"R= is drawn tall enough: {sorted(rows)}"
    assert min(max(pixel(x, y)) for x, y in caption) < 60, "and dark enough"

    app.click(layout.BUTTON_NAME)  # "1.1.1.1" is no number
    window = app.find_box()
    left, top, width, height = app.box(window).get("client") or app.session.client_geometry(window)
    box_ink = ink(app.session.screen_pixels(left, top, width, height), 0, 0, width, height)
    rows, message = sorted({y for _, y in box_ink}), layout.MESSAGES["R"]
    first_line = rows[:next((i for i in range(1, len(rows)) if rows[i] > rows[i - 1] + 1), len(rows))]
    drawn = shapes({(x, y) for x, y in box_ink if y in first_line})
    assert len(drawn) >= len(set(message)), f"the box's message is drawn in the shapes of {message}"
    assert app.dismiss_box(window)
