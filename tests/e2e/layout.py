"""The window's design and texts, read from the data files the C++ builds from
(ui/design/form1.def and core/channels.def, whose format is documented at their
tops): the tests click where both windows put their controls and expect the
texts both windows show."""
import collections
import pathlib
import re

SOURCE = pathlib.Path(__file__).resolve().parents[2]
FORM1 = (SOURCE / "ui" / "design" / "form1.def").read_text(encoding="utf-8")
Font = collections.namedtuple("Font", "face hundredths_of_point weight fallbacks")
# role: Caption, Input, Output or Convert; twips: left, top, width, height; names: the field a label names, or ""
Control = collections.namedtuple("Control", "name role caption twips control_id names")


def calls(name, source=FORM1):
    """The arguments of each `name(...)` line: a bare word, a whole number (as int) or a "text" (as str)."""
    return [[text if not word else int(word) if word.isdigit() else word
             for text, word in re.findall(r'"([^"]*)"|([^\s,]+)', arguments)]
            for arguments in re.findall(rf"^{name}\((.*)\)$", source, re.MULTILINE)]


TEXTS = dict(calls("FORM1_TEXT"))
WINDOW_TITLE, ERROR_TITLE = TEXTS["kWindowCaption"], TEXTS["kErrorTitle"]
[[INPUT_LENGTH_LIMIT]], [[FIRST_ID]], [CLIENT_AREA] = (
    calls("FORM1_INPUT_LIMIT"), calls("FORM1_FIRST_CONTROL_ID"), calls("FORM1_CLIENT_AREA"))
CONTROLS = [Control(name, role, caption, tuple(rect), FIRST_ID + index, "" if names == "-" else names)
            for index, (name, role, caption, *rect, _tab_index, names) in enumerate(calls("FORM1_CONTROL"))]
FONTS = {use: Font(face, size, weight, tuple(fallbacks))
         for use, face, size, weight, _character_set, *fallbacks in calls("FORM1_FONT")}
# The message that names each channel, R, G and B, when its text is not acceptable.
MESSAGES = dict(calls("CHANNEL", (SOURCE / "core" / "channels.def").read_text(encoding="utf-8")))

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
    return tuple(to_pixels(value, dpi) for value in CLIENT_AREA)


def centre(name, dpi=96):
    left, top, width, height = rect(name, dpi)
    return left + width // 2, top + height // 2


def face_point(dpi=96):
    """A point on the button's face above its caption, clear of the border."""
    left, top, width, _ = rect(BUTTON_NAME, dpi)
    return left + width // 2, top + to_pixels(180, dpi)
