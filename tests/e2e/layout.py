"""The window's design and texts, read from the data files the C++ builds from
(ui/design/form1.def and core/channels.def, whose format is documented at their
tops): the tests click where both windows put their controls and expect the
texts both windows show."""
import pathlib
import re
from typing import NamedTuple

SOURCE = pathlib.Path(__file__).resolve().parents[2]


def read_calls(path):
    """[(name, [arguments])]: one call a line; an argument is a bare word, a whole number
    (as int) or a "text" (as str, quotes dropped)."""
    calls = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if (line := line.strip()) and not line.startswith("//"):
            call = re.fullmatch(r"(\w+)\((.*)\)", line)
            if not call:
                raise ValueError(f"{path}:{number}: not a call: {line}")
            calls.append((call[1], [text if not word else int(word) if word.isdigit() else word
                                    for text, word in re.findall(r'"([^"]*)"|([^\s,]+)', call[2])]))
    return calls


class Font(NamedTuple):
    face: str
    hundredths_of_point: int
    weight: int
    fallbacks: tuple


class Control(NamedTuple):
    name: str
    role: str      # Caption, Input, Output or Convert
    caption: str
    twips: tuple   # left, top, width, height
    control_id: int
    names: str     # a label's field, which it names for screen readers; "" for the others


TEXTS, NUMBERS, FONTS, CONTROLS = {}, {}, {}, []
for call, arguments in read_calls(SOURCE / "ui" / "design" / "form1.def"):
    if call == "FORM1_TEXT":
        TEXTS[arguments[0]] = arguments[1]
    elif call in ("FORM1_CLIENT_AREA", "FORM1_FIRST_CONTROL_ID", "FORM1_INPUT_LIMIT"):
        NUMBERS[call.removeprefix("FORM1_")] = arguments
    elif call == "FORM1_CONTROL":
        control_name, role, caption, *rect, _tab_index, names = arguments
        CONTROLS.append(Control(control_name, role, caption, tuple(rect),
                                NUMBERS["FIRST_CONTROL_ID"][0] + len(CONTROLS), "" if names == "-" else names))
    elif call == "FORM1_FONT":
        use, face, size, weight, _character_set, *fallbacks = arguments
        FONTS[use] = Font(face, size, weight, tuple(fallbacks))
    else:
        raise ValueError(f"form1.def: unknown call {call}")
WINDOW_TITLE, ERROR_TITLE = TEXTS["kWindowCaption"], TEXTS["kErrorTitle"]
INPUT_LENGTH_LIMIT = NUMBERS["INPUT_LIMIT"][0]
# The message that names each channel, R, G and B, when its text is not acceptable.
MESSAGES = {letter: message for _, (letter, message) in read_calls(SOURCE / "core" / "channels.def")}

BY_NAME = {control.name: control for control in CONTROLS}
BY_ID = {control.control_id: control for control in CONTROLS}
INPUT_NAMES = [c.name for c in CONTROLS if c.role == "Input"]     # R, G, B
OUTPUT_NAMES = [c.name for c in CONTROLS if c.role == "Output"]   # K, C, M, Y
BUTTON_NAME = next(c.name for c in CONTROLS if c.role == "Convert")
# What a screen reader calls each field and the button: the label that names it, or its caption.
BY_ACCESSIBLE_NAME = {**{c.caption: BY_NAME[c.names] for c in CONTROLS if c.names},
                      **{c.caption: BY_NAME[BUTTON_NAME] for c in CONTROLS if c.role == "Convert"}}


def to_pixels(twips, dpi):
    """Rounded to nearest, as both windows do."""
    return (twips * dpi + 720) // 1440


def font_height(font, dpi=96):
    """The LOGFONT height that gives the font's size in points: negative, a character height."""
    return -((font.hundredths_of_point * dpi + 3600) // 7200)


def rect(name, dpi=96):
    """The control's rectangle in the client area: left, top, width, height."""
    return tuple(to_pixels(value, dpi) for value in BY_NAME[name].twips)


def client_size(dpi=96):
    return tuple(to_pixels(value, dpi) for value in NUMBERS["CLIENT_AREA"])


def centre(name, dpi=96):
    left, top, width, height = rect(name, dpi)
    return left + width // 2, top + height // 2


def face_point(dpi=96):
    """A point on the button's face above its caption, clear of the border."""
    left, top, width, _ = rect(BUTTON_NAME, dpi)
    return left + width // 2, top + to_pixels(180, dpi)
