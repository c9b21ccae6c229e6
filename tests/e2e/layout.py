"""The window's design and texts, read from the same data files the C++ builds
from (ui/design/form1.def and core/channels.def, whose format is documented at
their tops), so that the tests place their clicks where both windows put their
controls and expect the texts both windows show."""
import pathlib
from typing import NamedTuple

SOURCE = pathlib.Path(__file__).resolve().parents[2]
TWIPS_PER_INCH = 1440


def read_calls(path):
    """[(name, [arguments])] of a data file: one call a line; an argument is a
    bare word, a whole number (as int) or a "text" (as str, quotes dropped)."""
    calls = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("//"):
            continue
        name, opening, rest = line.partition("(")
        if not opening or not rest.endswith(")"):
            raise ValueError(f"{path}:{number}: not a call: {line}")
        arguments, word, quoted = [], "", False
        for character in rest[:-1] + ",":
            if character == '"':
                quoted = not quoted
                word += character
            elif character == "," and not quoted:
                word = word.strip()
                arguments.append(word[1:-1] if word.startswith('"') else int(word) if word.isdigit() else word)
                word = ""
            else:
                word += character
        calls.append((name, arguments))
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

    @property
    def takes_focus(self):
        return self.role != "Caption"


def _read_design():
    texts, fonts, controls = {}, {}, []
    first_id = client = None
    for name, arguments in read_calls(SOURCE / "ui" / "design" / "form1.def"):
        if name == "FORM1_TEXT":
            texts[arguments[0]] = arguments[1]
        elif name == "FORM1_CLIENT_AREA":
            client = tuple(arguments)
        elif name == "FORM1_FIRST_CONTROL_ID":
            first_id = arguments[0]
        elif name == "FORM1_INPUT_LIMIT":
            texts["kInputLengthLimit"] = arguments[0]
        elif name == "FORM1_CONTROL":
            control_name, role, caption, *rect, _tab_index, names = arguments
            controls.append(Control(control_name, role, caption, tuple(rect), first_id + len(controls),
                                    "" if names == "-" else names))
        elif name == "FORM1_FONT":
            use, face, size, weight, _character_set, *fallbacks = arguments
            fonts[use] = Font(face, size, weight, tuple(fallbacks))
        else:
            raise ValueError(f"form1.def: unknown call {name}")
    return texts, client, controls, fonts


TEXTS, CLIENT_TWIPS, CONTROLS, FONTS = _read_design()
WINDOW_TITLE = TEXTS["kWindowCaption"]
ERROR_TITLE = TEXTS["kErrorTitle"]
FIELD_FONT, BUTTON_FONT = FONTS["Field"], FONTS["Button"]
# Each designed font's fallbacks, best first.
FALLBACKS = {font: font.fallbacks for font in (BUTTON_FONT, FIELD_FONT)}
INPUT_LENGTH_LIMIT = TEXTS["kInputLengthLimit"]
# The message that names each channel, R, G and B, when its text is not acceptable.
MESSAGES = {letter: message for _, (letter, message) in read_calls(SOURCE / "core" / "channels.def")}

BY_NAME = {control.name: control for control in CONTROLS}
INPUT_NAMES = [c.name for c in CONTROLS if c.role == "Input"]     # R, G, B
OUTPUT_NAMES = [c.name for c in CONTROLS if c.role == "Output"]   # K, C, M, Y
BUTTON_NAME = next(c.name for c in CONTROLS if c.role == "Convert")
BY_ID = {control.control_id: control for control in CONTROLS}
# What a screen reader calls each field and the button: the label that names it, or its caption.
BY_ACCESSIBLE_NAME = {**{c.caption: BY_NAME[c.names] for c in CONTROLS if c.names},
                      **{c.caption: c for c in CONTROLS if c.role == "Convert"}}


def to_pixels(twips, dpi):
    """Rounded to nearest, as both windows do."""
    return (twips * dpi + TWIPS_PER_INCH // 2) // TWIPS_PER_INCH


def font_height(font, dpi=96):
    """The LOGFONT height that gives the font's size in points: negative, a character height."""
    return -((font.hundredths_of_point * dpi + 3600) // 7200)


def rect(name, dpi=96):
    """The control's rectangle in the client area: left, top, width, height."""
    return tuple(to_pixels(value, dpi) for value in BY_NAME[name].twips)


def client_size(dpi=96):
    return tuple(to_pixels(value, dpi) for value in CLIENT_TWIPS)


def centre(name, dpi=96):
    left, top, width, height = rect(name, dpi)
    return left + width // 2, top + height // 2


def face_point(dpi=96):
    """A point on the button's face above its caption, clear of the border."""
    left, top, width, _ = rect(BUTTON_NAME, dpi)
    return left + width // 2, top + to_pixels(180, dpi)
