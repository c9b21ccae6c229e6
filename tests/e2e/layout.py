"""The window's designed layout, read from ui/design/form1_design.h so that the
tests place their clicks where both windows put their controls."""
import pathlib
import re
from typing import NamedTuple

SOURCE = pathlib.Path(__file__).resolve().parents[2]
DESIGN = SOURCE / "ui" / "design" / "form1_design.h"
TWIPS_PER_INCH = 1440

# The Win32 window numbers its controls in the designed order from this ID.
FIRST_CONTROL_ID = int(re.search(r"kFirstControlId = (\d+);",
                                 (SOURCE / "ui" / "win32" / "control_ids.h").read_text())[1])


class Font(NamedTuple):
    face: str
    hundredths_of_point: int
    weight: int


class Control(NamedTuple):
    name: str
    kind: str      # CaptionLabel, TextField or PushButton
    role: str      # Caption, Input, Output or Convert
    caption: str
    twips: tuple   # left, top, width, height
    control_id: int
    names: str     # a label's field, which it names for screen readers


def _read_design():
    text = DESIGN.read_text(encoding="utf-8")
    rows = re.findall(r'\{"(\w+)", ControlKind::(\w+), Role::(\w+), "([^"]*)", '
                      r'\{(\d+), (\d+), (\d+), (\d+)\}, \d+(?:, "(\w*)")?\}', text)
    controls = [Control(name, kind, role, caption, tuple(map(int, rect)), FIRST_CONTROL_ID + index, names)
                for index, (name, kind, role, caption, *rect, names) in enumerate(rows)]
    client = re.search(r"kClientArea\{(\d+), (\d+), (\d+), (\d+)\}", text)
    if len(controls) != 15 or not client:
        raise RuntimeError(f"cannot read the layout from {DESIGN}")
    kaiti = re.search(r"kKaiTiFallbacks\[\] = \{([^}]*)\}", text)
    serif = re.search(r"kSerifFallbacks\[\] = \{([^}]*)\}", text)
    fonts = {name: Font(face, int(size), int(weight)) for name, face, size, weight
             in re.findall(r'k(\w+)Font\{"([^"]+)", (\d+), (\d+)', text)}
    limit = re.search(r"kInputLengthLimit = (\d+);", text)
    return (controls, tuple(map(int, client.groups()))[2:], fonts["Field"], fonts["Button"],
            re.findall(r'"([^"]+)"', kaiti[1]), re.findall(r'"([^"]+)"', serif[1]), int(limit[1]))


(CONTROLS, CLIENT_TWIPS, FIELD_FONT, BUTTON_FONT, KAITI_NAMES, SERIF_NAMES,
 INPUT_LENGTH_LIMIT) = _read_design()
# Each designed font's fallbacks, best first.
FALLBACKS = {BUTTON_FONT: KAITI_NAMES, FIELD_FONT: SERIF_NAMES}
BY_NAME = {control.name: control for control in CONTROLS}
INPUT_NAMES = [c.name for c in CONTROLS if c.role == "Input"]     # R, G, B
OUTPUT_NAMES = [c.name for c in CONTROLS if c.role == "Output"]   # K, C, M, Y
BUTTON_NAME = next(c.name for c in CONTROLS if c.role == "Convert")
BY_ID = {control.control_id: control for control in CONTROLS}
# What a screen reader calls each field and the button: the label that names it, or its caption.
BY_ACCESSIBLE_NAME = {**{c.caption: BY_NAME[c.names] for c in CONTROLS if c.names},
                      **{c.caption: c for c in CONTROLS if c.kind == "PushButton"}}


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
