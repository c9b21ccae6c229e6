"""How the end-to-end scenarios start Quorvel and read it back. A target is
one of the two windows:

  qt    the Qt window (`quorvel`) on Linux: fields by select-all and copy,
        the face by its pixels, the error box as its own X window; what X
        cannot show (the box's texts, the focus, each control's rectangle)
        as a screen reader sees it, over AT-SPI (atspi.py), and the faces
        from the font files it mapped.
  wine  the Win32 window (`Quorvel.exe`) under Wine, in one prefix made for
        the run; fields and pixels as for qt, what X cannot show through
        quorvel_probe.exe run in the same prefix, the faces from Wine's
        font trace.

The scenarios are written once against App and Box; a reading a target
cannot make comes back as None and the scenario skips just that check.

    SCRIPT.py [--target qt|wine] PROGRAM [--probe PROBE.exe] [--budget SECONDS] [unittest options]
"""
import argparse
import contextlib
import json
import os
import re
import signal
import subprocess
import sys
import time
import unittest
from dataclasses import dataclass

import atspi
import layout
from xsession import FONT_SUBSTITUTES, WinePrefix, WineUnavailable, XSession

LANGUAGES = {"C": "C.UTF-8", "zh_CN": "zh_CN.UTF-8"}


@dataclass
class Box:
    """The error box as a person sees it; None where the target cannot tell."""
    title: str
    text: str = None
    buttons: list = None
    icon: bool = None
    owned_by_window: bool = None
    window_disabled: bool = None


class App:
    """The running program in its own X server, seen and driven from outside."""

    # Keys that select a field's whole text.
    select_all = ("ctrl+a",)
    # How long a copy may take to reach the clipboard before the field counts as empty.
    copy_wait = 0.5

    def __init__(self, target, session, process, dpi):
        self.target = target
        self.session = session
        self.process = process
        self.dpi = dpi
        self.window = session.find_window(layout.WINDOW_TITLE, timeout=60)
        self._client = None

    # Where things are.
    def client(self):
        """The client area: left and top on the screen, width and height."""
        if self._client is None:
            self._client = self.session.client_geometry(self.window)
        return self._client

    def point(self, name_or_point):
        """A control's centre, or a point of the client area, in screen coordinates."""
        x, y = layout.centre(name_or_point, self.dpi) if isinstance(name_or_point, str) else name_or_point
        left, top, _, _ = self.client()
        return left + x, top + y

    def pixels(self):
        """A function (x, y) -> (r, g, b) over the client area as shown now."""
        return self.session.screen_pixels(*self.client())

    def face(self, expected=None, timeout=2.0):
        """The button face's colour, once it is `expected` if one is given."""
        x, y = layout.face_point(self.dpi)
        if expected is None:
            time.sleep(0.1)
            return self.pixels()(x, y)
        deadline = time.monotonic() + timeout
        while True:
            pixel = self.pixels()(x, y)
            if pixel == expected or time.monotonic() >= deadline:
                return pixel
            time.sleep(0.02)

    # Acting.
    def key(self, *keys):
        self.session.xdotool("key", *keys)

    def type(self, text):
        self.session.xdotool("type", "--delay", "5", "--", text)

    def click(self, name_or_point):
        self.session.click_at(*self.point(name_or_point))

    def type_into(self, name, text):
        """Clicks the field, selects what it holds and types the text over it."""
        self.click(name)
        self.key(*self.select_all, "BackSpace")
        if text:
            self.type(text)

    def convert(self, red, green, blue):
        """Types the three channels and clicks the button, as a person does."""
        for name, text in zip(layout.INPUT_NAMES, (red, green, blue)):
            self.type_into(name, text)
        self.click(layout.BUTTON_NAME)

    def paste_into(self, name, text):
        """Puts the text on the clipboard, clicks the field, selects all and pastes."""
        self.session.set_clipboard(text)
        self.click(name)
        self.key(*self.select_all, "ctrl+v")

    # Reading.
    # How long the program may take to do what it is asked before the test counts it as failed.
    patience = 60.0

    def read(self, name):
        """The field's text, selected and copied to the clipboard as a person would. On a busy
        machine a copy can come late or not at all: nothing on the clipboard means an empty
        field only if the program holds no text there; otherwise the copy is made again."""
        deadline = time.monotonic() + self.patience
        while True:
            self.click(name)
            copied = self.session.copy_focused(self.select_all, self.copy_wait)
            if copied or not self.text(name):
                return copied
            if time.monotonic() >= deadline:
                raise AssertionError(f"{name} holds text, but no copy of it came within {self.patience} s")

    def text(self, name):
        """The field's text as the program holds it, or None if the target cannot tell."""
        return None

    def outputs(self):
        return [self.read(name) for name in layout.OUTPUT_NAMES]

    # No window manager runs in the test session, so the harness moves the keyboard
    # focus as one would: onto the box when it comes, back onto the window when it goes.
    # Wine moves it itself only once it has caught up with the box's mapping; a key
    # pressed before that still closes the box, but under load Wine then takes the
    # window's focus away for good and every later key goes nowhere.
    def find_box(self, timeout=5.0):
        """The box, with the keyboard focus on it, or None if none comes within the timeout."""
        box = self.session.find_titled(layout.ERROR_TITLE, timeout)
        if box is not None:
            self.session.give_focus(box)
        return box

    def dismiss_box(self, box, key="Return"):
        """Presses the key in the box; True once the box has gone and the window has the keyboard focus back."""
        self.key(key)
        return self.session.wait_gone(box) and self.session.give_focus(self.window)

    def boxes(self):
        return self.session.titled(layout.ERROR_TITLE)

    def box(self, window):
        return Box(title=self.session.title(window))

    def focus(self):
        """The name of the control with the keyboard focus, or None if the target cannot tell now."""
        return None

    def controls(self):
        """{name: (class, text, rect, read-only)} of every control, or None if the target cannot tell."""
        return None

    def faces_tried(self, font):
        """[(face asked for, face the system chose)] for the designed font at its size, each face
        once, in the order first asked; None if the target cannot tell."""
        return None

    def resident_kib(self):
        with open(f"/proc/{self.process.pid}/status") as status:
            return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))

    def close(self):
        self.session.close(self.window)

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None


class QtApp(App):
    def __init__(self, target, session, process, dpi, accessibility):
        super().__init__(target, session, process, dpi)
        self.accessibility = accessibility

    def application(self):
        """The program's accessible tree, or None without an accessibility bus."""
        if not self.accessibility:
            return None
        return next((node for node in self.accessibility.tree().children if node.role == "application"), None)

    def box(self, window):
        owner = window.get_wm_transient_for()
        box = Box(title=self.session.title(window), owned_by_window=owner is not None and owner.id == self.window.id)
        application = self.application()
        seen = application and next((node for node in application.children
                                     if node.showing() and node.name == box.title), None)
        if seen:
            inside = [node for node in seen.walk() if node.showing()][1:]
            box.text = "\n".join(node.name for node in inside if node.role == "label" and node.name)
            box.buttons = [node.name for node in inside if node.role == "push button"]
            box.icon = any(node.role in ("image", "icon") or (node.role == "label" and not node.name)
                           for node in inside)
        return box

    ROLES = {"label": "static", "text": "edit", "push button": "button"}

    def main_window(self):
        application = self.application()
        return application and next(node for node in application.children if node.name == layout.WINDOW_TITLE)

    def controls(self):
        window = self.main_window()
        if window is None:
            return None
        found = {}
        for node in window.children:
            if node.role == "label":
                control = next((c for c in layout.CONTROLS if c.role == "Caption" and c.caption == node.name), None)
            else:
                control = layout.BY_ACCESSIBLE_NAME.get(node.name)
            found[control.name if control else f"{node.role} {node.name!r}"] = dict(
                cls=self.ROLES.get(node.role, node.role), text=node.name if node.role != "text" else "",
                visible=atspi.VISIBLE in node.states,
                # Qt gives extents before its scale factor; on the screen they are that much larger.
                rect=node.extents and tuple(value * self.dpi // 96 for value in node.extents),
                read_only=node.role == "text" and atspi.READ_ONLY in node.states)
        return found

    def faces(self, timeout=10.0):
        """The families of the font files the program has mapped once its window is drawn;
        Qt does not tell which control uses which, so both readings hold them all."""
        self.face(expected=(-1, -1, -1), timeout=0.5)
        with open(f"/proc/{self.process.pid}/maps") as maps:
            files = sorted({line.split()[-1] for line in maps if re.search(r"\.(ttf|ttc|otf)$", line.strip())})
        families = set()
        for path in files:
            scanned = subprocess.run(["fc-scan", "--format", "%{family[0]}\n", path], capture_output=True, text=True)
            families.update(scanned.stdout.split("\n"))
        families.discard("")
        return {"button": families, "fields": families}

    def text(self, name):
        window = self.main_window()
        node = window and next((node for node in window.children if node.role == "text"
                                and layout.BY_ACCESSIBLE_NAME.get(node.name) is layout.BY_NAME[name]), None)
        return node and node.text

    def focus(self):
        window = self.main_window()
        if window is None:
            return None
        focused = [node for node in window.walk() if atspi.FOCUSED in node.states]
        if not focused:  # the window is not active yet: the focus shows only once it is
            return None
        control = layout.BY_ACCESSIBLE_NAME.get(focused[0].name)
        return control.name if control else f"{focused[0].role} {focused[0].name!r}"


class WineApp(App):
    def __init__(self, target, session, process, dpi, language):
        self.language = language
        super().__init__(target, session, process, dpi)
        # Wine draws the frame itself, inside the X window: the client area comes from the window's own answer.
        deadline = time.monotonic() + 30
        while (state := self.probe())["window"] is None:
            if time.monotonic() >= deadline:
                raise AssertionError("the probe does not see the window")
            time.sleep(0.1)
        client = state["window"]["client"]
        self._client = client["x"], client["y"], client["width"], client["height"]

    def probe(self):
        return self.target.probe(self.session, self.language)

    # Wine is slow to take a copy for a second or so after a long paste.
    copy_wait = 2.0

    def text(self, name):
        """The control's text as the program holds it, once the program answers."""
        deadline = time.monotonic() + self.patience
        while (window := self.probe()["window"]) is None:  # too busy to answer (a long paste)
            if time.monotonic() >= deadline:
                raise AssertionError(f"the window did not answer for {self.patience} s")
        return next(child["text"] for child in window["children"]
                    if child["id"] == layout.BY_NAME[name].control_id)

    def box(self, window):
        state = self.probe()
        seen = state["box"]
        if seen is None:
            return Box(title=self.session.title(window))
        visible = [child for child in seen["children"] if child["visible"]]
        statics = [child for child in visible if child["class"].lower() == "static" and child["text"]]
        return Box(title=self.session.title(window),
                   text="\n".join(child["text"] for child in statics),
                   buttons=[child["text"] for child in visible if child["class"].lower() == "button"],
                   icon=any(child["icon"] for child in visible),
                   owned_by_window=seen["ownedByWindow"],
                   window_disabled=not state["window"]["enabled"])

    def focus(self):
        window = self.probe()["window"]
        focus = window["focus"] if window else None
        control = layout.BY_ID.get(focus)
        return control.name if control else str(focus)

    def controls(self):
        window = self.probe()["window"]
        found = {}
        for child in window["children"]:
            control = layout.BY_ID.get(child["id"])
            rect = child["rect"]
            found[control.name if control else child["id"]] = dict(
                cls=child["class"].lower(), text=child["text"], visible=child["visible"],
                read_only=child["readOnly"], rect=(rect["x"], rect["y"], rect["width"], rect["height"]),
                limit=child["limit"])
        return found

    def faces(self, timeout=10.0):
        """The faces Wine chose for the button's and the fields' designed fonts, at
        their designed sizes and weights, as its font trace tells (font_trace=True)."""
        kai_names = {layout.BUTTON_FONT.face, *layout.BUTTON_FONT.fallbacks}
        button_size = (layout.font_height(layout.BUTTON_FONT, self.dpi), layout.BUTTON_FONT.weight)
        field_request = (layout.FIELD_FONT.face, layout.font_height(layout.FIELD_FONT, self.dpi),
                         layout.FIELD_FONT.weight)
        deadline = time.monotonic() + timeout
        while True:
            chosen = faces_chosen(self.target.log_path.read_text(errors="replace"))
            button = {face for (name, *size), faces in chosen.items() if name in kai_names
                      and tuple(size) == button_size for face in faces}
            fields = chosen.get(field_request, set())
            if (button and fields) or time.monotonic() >= deadline:
                return {"button": button, "fields": fields, "asked for": sorted(chosen)}
            time.sleep(0.2)

    def faces_tried(self, font, timeout=10.0):
        """From Wine's font trace (font_trace=True): done once a face was chosen as itself."""
        request = (font.face, layout.font_height(font, self.dpi), font.weight)
        deadline = time.monotonic() + timeout
        while True:
            tried = faces_tried(self.target.log_path.read_text(errors="replace"), *request)
            if any(asked == chosen for asked, chosen in tried) or time.monotonic() >= deadline:
                return tried
            time.sleep(0.2)


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


def faces_tried(trace, face, height, weight):
    """[(face asked for, face chosen)] from a WINEDEBUG=+font trace, each face once, in the order
    first asked, of the requests the program made for the designed face at that height and weight
    and for its fallbacks: the same request but for the face, which Wine's own requests (Marlett
    for the caption's buttons, in the symbol character set) are not; a face Wine had already
    chosen is None."""
    tried = {}
    asked = {}
    program_request = None
    for line in trace.splitlines():
        thread = line.split(":", 1)[0]
        if request := SELECT_FONT.search(line):
            asked_face, rest = unescape(request[1]), request.groups()[1:]
            if program_request is None and (asked_face, int(rest[0]), int(rest[1])) == (face, height, weight):
                program_request = rest
            asked[thread] = asked_face if rest == program_request else None
            if asked[thread]:
                tried.setdefault(asked_face, None)
        elif (chosen := CHOSEN.search(line)) and asked.get(thread) and tried[asked[thread]] is None:
            tried[asked[thread]] = unescape(chosen[1])
    return list(tried.items())


SELECT_FONT = re.compile(r'font_SelectFont L"((?:[^"\\]|\\.)*)", h=(-?\d+), it=\d+, weight=(\d+), '
                         r'PandF=([0-9a-f]+), charset=(\d+)')
CHOSEN = re.compile(r'select_font Chosen: L"((?:[^"\\]|\\.)*)"')


def unescape(wine_text):
    """Wine's trace writes a character outside ASCII as a backslash and four hex digits."""
    return re.sub(r"\\([0-9a-fA-F]{4})", lambda m: chr(int(m[1], 16)), wine_text)


class QtTarget:
    name = "qt"
    wm_class = ("quorvel", "Quorvel")

    def __init__(self, program):
        self.program = program

    @contextlib.contextmanager
    def run(self):
        yield self

    def supports(self, dpi=96, comma=False, font_trace=False, substitutes=True):
        return dpi % 96 == 0 and substitutes  # fontconfig's own substitutes cannot be left out

    @contextlib.contextmanager
    def start(self, language="C", dpi=96, comma=False, font_trace=False):
        locale = LANGUAGES[language]
        env = dict(LANG=locale, LC_ALL="de_DE.UTF-8" if comma else locale)
        if dpi != 96:  # Qt scales a whole window by a factor, as for a screen of that density
            env["QT_SCALE_FACTOR"] = str(dpi // 96)
        with XSession(self.program) as session, contextlib.ExitStack() as stack:
            if not atspi.available():
                raise RuntimeError("reading the Qt window needs python3-dbus and at-spi2-core "
                                   "(scripts/install-deps.sh test installs them)")
            accessibility = stack.enter_context(atspi.AccessibilityBus(session.env))
            env.update(accessibility.app_env())
            yield QtApp(self, session, session.start(extra_env=env), dpi, accessibility)


class WineTarget:
    name = "wine"
    wm_class = ("quorvel.exe", "quorvel.exe")

    def __init__(self, program, probe):
        self.program = os.path.abspath(program)
        self.probe_path = os.path.abspath(probe)
        self.prefix = None
        self.settings = {}
        self.log_path = None

    @contextlib.contextmanager
    def run(self):
        """One prefix for every scenario of the run, removed however the run ends."""
        self.prefix = WinePrefix()
        try:
            self.prefix.create()
            self.settings = {"language": "C", "dpi": 96, "comma": False, "substitutes": True}
            yield self
        finally:
            self.prefix.remove()

    def supports(self, dpi=96, comma=False, font_trace=False, substitutes=True):
        return True

    def wine_env(self, session, language, trace=False):
        locale = LANGUAGES[language]
        env = dict(self.prefix.env, LANG=locale, LC_ALL=locale)
        if trace:
            env["WINEDEBUG"] = "+font"
        return env

    # The substitutes that a start without them leaves out: those for the designed faces and their fallbacks.
    DESIGNED_SUBSTITUTES = {name: value for name, value in FONT_SUBSTITUTES.items()
                            if name in {face for font, fallbacks in layout.FALLBACKS.items()
                                        for face in (font.face, *fallbacks)}}

    def configure(self, language, dpi, comma, substitutes=True):
        """Brings the prefix's registry to these settings while no Wine server runs."""
        wanted = {"language": language, "dpi": dpi, "comma": comma, "substitutes": substitutes}
        last, self.settings = self.settings, wanted
        if last["substitutes"] != substitutes:
            self.prefix.set_registry({
                r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes":
                    {name: value if substitutes else None for name, value in self.DESIGNED_SUBSTITUTES.items()},
            }, locale=LANGUAGES[language])
        # A start in another language resets the separator, so a comma is set again for each.
        if (last["dpi"], last["comma"]) == (dpi, comma) and (not comma or last["language"] == language):
            return
        self.prefix.set_registry({
            r"HKEY_CURRENT_USER\Control Panel\Desktop": {"LogPixels": dpi},
            r"HKEY_CURRENT_USER\Control Panel\International": {"sDecimal": "," if comma else "."},
        }, locale=LANGUAGES[language])

    def probe(self, session, language):
        """What quorvel_probe.exe sees, run in the program's own language (Wine's locale is per process)."""
        env = dict(session.env, **self.wine_env(session, language))
        result = subprocess.run(["wine", self.probe_path], env=env, capture_output=True, timeout=60)
        try:
            return json.loads(result.stdout)
        except ValueError:
            raise AssertionError(f"the probe printed no JSON: {result.stdout!r} {result.stderr[-2000:]!r}")

    @contextlib.contextmanager
    def start(self, language="C", dpi=96, comma=False, font_trace=False, substitutes=True):
        """substitutes=False: without the registry's stand-ins for the designed faces, as on a
        Windows that has none of them, so that the program's own fallbacks are tried."""
        self.configure(language, dpi, comma, substitutes)
        with XSession(None) as session:
            self.log_path = self.prefix.folder / "wine.log"
            try:
                with open(self.log_path, "wb") as log:
                    process = session.start(extra_env=self.wine_env(session, language, font_trace),
                                            command=["wine", self.program], stdout=log, stderr=log)
                yield WineApp(self, session, process, dpi, language)
            finally:
                self.prefix.stop_server()


TARGET = None


def target():
    return TARGET


def _interrupt(signum, frame):
    raise KeyboardInterrupt(f"signal {signum}")


def main():
    """Runs the calling script's tests against the target named on the command line."""
    global TARGET
    parser = argparse.ArgumentParser()
    parser.add_argument("--target", choices=("qt", "wine"), default="qt")
    parser.add_argument("program")
    parser.add_argument("--probe")
    parser.add_argument("--budget", type=int, help="seconds before the run stops itself and cleans up")
    args, rest = parser.parse_known_args()
    if args.target == "wine" and not args.probe:
        parser.error("--target wine needs --probe")
    TARGET = QtTarget(args.program) if args.target == "qt" else WineTarget(args.program, args.probe)

    # Stopped from outside or out of time, the run still ends every process it started.
    signal.signal(signal.SIGTERM, _interrupt)
    signal.signal(signal.SIGALRM, _interrupt)
    if args.budget:
        signal.alarm(args.budget)
    try:
        with TARGET.run():
            program = unittest.main(module="__main__", argv=[sys.argv[0], *rest], exit=False)
    except KeyboardInterrupt as stop:
        print(f"stopped ({stop}), everything it started is ended", file=sys.stderr)
        sys.exit(1)
    except WineUnavailable as missing:
        print(missing, file=sys.stderr)
        sys.exit(77)
    sys.exit(not program.result.wasSuccessful())
