"""End to end: a person types into the real program, pastes into it, presses
the button, and reads the outputs back through the clipboard."""
import pytest

import layout
from xsession import wait_until

pytestmark = pytest.mark.timeout(80)
R, G, B = layout.INPUT_NAMES
BUTTON = layout.BUTTON_NAME
EMPTY = ["", "", "", ""]
CONVERTED = ["0", "49.804", "74.902", "87.451"]   # 128, 64, 32
OK_BUTTON = {"C": "OK", "zh_CN": "确定"}


def expect_box_and_dismiss(app, channel, language="C"):
    """The box names the channel, has only its OK button, no icon, and holds the window until dismissed;
    what the target reads of it (at least its title)."""
    window = app.find_box()
    assert window is not None, f"the {layout.ERROR_TITLE} box comes up as its own window"
    box = app.box(window)
    assert box["title"] == layout.ERROR_TITLE
    expected = dict(text=layout.MESSAGES[channel], buttons=[OK_BUTTON[language]], icon=False,
                    owned_by_window=True, window_disabled=True)
    for reading, value in expected.items():
        if reading in box:  # else the target cannot tell
            assert box[reading] == value, reading
    assert app.dismiss_box(window), "Enter dismisses the box"
    return box


@pytest.mark.parametrize("rgb, channel", [
    pytest.param(("", "", ""), "R", id="all empty"),
    pytest.param(("10", "300", "abc"), "G", id="G out of range"),
    pytest.param(("100", "100", "-5"), "B", id="B negative"),
])
def test_a_failure_names_its_channel_and_leaves_the_window_as_it_was(app, rgb, channel):
    platform_face = app.face()
    app.convert(*rgb)
    expect_box_and_dismiss(app, channel)
    assert app.outputs() == EMPTY
    assert app.face() == platform_face


def test_a_failure_after_success_keeps_the_earlier_display(app):
    app.convert("128", "64", "32")
    assert app.find_box(timeout=0.3) is None
    assert app.outputs() == CONVERTED
    assert app.face((128, 64, 32)) == (128, 64, 32)

    app.convert("255", "1e400", "0")
    expect_box_and_dismiss(app, "G")
    assert app.outputs() == CONVERTED
    assert app.face((128, 64, 32)) == (128, 64, 32)
    assert app.read(G) == "1e400"


def test_the_window_takes_no_input_while_the_box_is_open(app):
    app.convert("x", "0", "0")
    box = app.find_box()
    assert box is not None
    app.click(B)
    app.type("9")
    # 转 where the box, which may lie over its centre, leaves it in sight
    _, box_top, _, box_height = app.session.client_geometry(box)
    left, top, width, height = layout.rect(BUTTON)
    y = next(y for y in range(top + height - 4, top, -1) if not box_top <= app.client[1] + y < box_top + box_height)
    app.session.click((app.client[0] + left + width // 2, app.client[1] + y))
    assert app.dismiss_box(box)
    assert app.find_box(timeout=0.5) is None, "no second box"
    assert app.read(B) == "0"


def test_enter_in_an_input_converts(app):
    app.type_into(R, "255")
    app.type_into(G, "0")
    app.type_into(B, "0")
    app.key("Return")
    assert app.face((255, 0, 0)) == (255, 0, 0)
    app.key("Tab")  # keyboard focus on the button keeps its face exact
    if (focus := app.focus()) is not None:
        assert focus == BUTTON
    assert app.face((255, 0, 0)) == (255, 0, 0)
    assert app.outputs() == ["0", ".000", "100.000", "100.000"]


def test_return_on_the_focused_button_converts_once(app):
    app.type_into(R, "abc")
    app.type_into(G, "0")
    app.type_into(B, "0")
    app.key("Tab")
    if (focus := app.focus()) is not None:
        assert focus == BUTTON, "Tab from B= reaches 转"
    app.key("Return")
    box = app.find_box()
    assert box is not None, "Return on 转 converts"
    assert len(app.boxes()) == 1, "exactly one box"
    assert app.dismiss_box(box)
    assert app.find_box(timeout=1.0) is None, "no second box after the first is dismissed"
    assert app.outputs() == EMPTY


@pytest.mark.parametrize("held_from_the_start", [True, False],
                         ids=["held from the press that brings the box up", "held from a new press once it is up"])
def test_a_held_enter_never_dismisses_the_box_it_brought_up(app, held_from_the_start):
    app.type_into(R, "abc")
    if held_from_the_start:
        with app.session.held("Return"):
            box = app.find_box()
            assert box is not None
            assert not app.session.wait_gone(box, timeout=1.5), "the press's repeats leave the box up"
        assert app.dismiss_box(box), "a new press dismisses it"
    else:
        app.key("Return")
        box = app.find_box()
        assert box is not None
        with app.session.held("Return"):
            assert app.session.wait_gone(box), "the new press dismisses the box"
            assert wait_until("a second box", app.boxes, timeout=1.5) == [], "its repeats press nothing"
    assert app.find_box(timeout=1.0) is None, "no second box once it is let go"


# What a paste into a field fills in: typed first, then pasted (by ctrl+v, or with a
# middle click from X's primary selection), what the inputs read then (None: not read),
# and the outputs once the button is pressed.
PASTES = [
    pytest.param({}, G, "128\t64\t32\n", "ctrl+v", ["128", "64", "32"], CONVERTED,
                 id="a spreadsheet row fills R, G and B"),
    pytest.param({G: "0", B: "0"}, R, "\r\n128\r\n64\r\n", "ctrl+v", ["128", "0", "0"],
                 ["0", "49.804", "100.000", "100.000"], id="the first non-empty line, without its line breaks"),
    pytest.param({}, R, "1\t2\t3\n", "middle click", ["1", "2", "3"], ["0", "99.608", "99.216", "98.824"],
                 id="a middle click pastes the selection by the same rule"),
    pytest.param({G: "64", B: "32"}, R, "0" * (layout.INPUT_LENGTH_LIMIT - 3) + "128", "ctrl+v", None, CONVERTED,
                 id="the longest paste an input takes is not cut"),
    pytest.param({}, R, "#804020", "ctrl+v", ["128", "64", "32"], CONVERTED, id="a copied colour"),
]


@pytest.mark.parametrize("typed, field, text, how, inputs, outputs", PASTES)
def test_a_paste_fills_by_the_paste_rule_and_converts_nothing(target, app, typed, field, text, how, inputs, outputs):
    if how == "middle click" and "primary selection" not in target.abilities:
        pytest.skip(f"the {target.name} window has no primary selection")
    for name, value in typed.items():
        app.type_into(name, value)
    if how == "middle click":
        app.session.set_clipboard(text, selection="primary")
        app.click(field)
        app.session.click(button=2)
    else:
        app.paste_into(field, text)
    if inputs is not None:
        assert [app.read(name) for name in layout.INPUT_NAMES] == inputs
        assert app.outputs() == EMPTY, "nothing converted yet"
    app.click(BUTTON)
    assert app.find_box(timeout=0.3) is None
    assert app.outputs() == outputs


def test_typing_past_an_inputs_limit_beeps(app):
    app.paste_into(R, "0" * layout.INPUT_LENGTH_LIMIT)
    with app.session.bells() as rung:
        app.key("End")
        app.type("1")
        app.key("Tab")  # Wine 10 sends X its bell only with the window's next drawing
        assert wait_until("a beep", lambda: rung[0], 10) == 1, "the key is refused with a beep"
    assert app.text(R) == "0" * layout.INPUT_LENGTH_LIMIT


def test_a_converted_colour_copies_out_from_the_button(app):
    app.paste_into(R, "#804020")
    app.click(BUTTON)
    assert app.outputs() == CONVERTED
    app.click(BUTTON)  # the same press again, which leaves 转 focused
    assert app.copy_focused() == "#804020"


def test_a_comma_locale_reads_and_writes_commas(start):
    app = start(comma=True)
    app.convert("12,5", "0", "255")
    assert app.outputs() == ["0", "95,098", "100,000", ",000"]
    assert app.face((12, 0, 255)) == (12, 0, 255)
    app.convert("12.5", "0", "255")
    expect_box_and_dismiss(app, "R")


@pytest.mark.parametrize("language", ["zh_CN", "C"])
def test_the_box_speaks_the_language(target, start, language):
    app = start(language=language)
    app.click(BUTTON)
    if "buttons" not in expect_box_and_dismiss(app, "R", language):
        pytest.skip(f"the {target.name} window cannot read the box's button")
