"""The windows the scenarios run against, each in an X server of its own: fields read by
select-all and copy, the face by its pixels, the box as its own X window; what X cannot show
the Qt window tells over AT-SPI (one private bus a run), Quorvel.exe through quorvel_probe.exe
and Wine's font trace (one prefix a run). A reading a target cannot make is None, and the
scenario leaves that check out; what it cannot do at all is missing from its `abilities`."""
import json
import os
import pathlib
import re
import signal
import subprocess
import tempfile
import time

import layout
import wine
from xsession import desktop_free_environment, end, wait_until

CLASSES = {"LABEL": "static", "TEXT": "edit", "PUSH_BUTTON": "button"}


class App:
    """The running program; ends with everything it started."""
    copy_wait = 0.5  # how long a copy may take to come before the field counts as empty
    clipboard_to_xclip = True
    patience = 60.0  # how long the program may take to do what it is asked

    def __init__(self, target, session, process, dpi):
        self.target, self.session, self.process, self.dpi = target, session, process, dpi
        self.key, self.type = session.key, session.type

    def __enter__(self):
        try:
            self.window, = self.session.titled(layout.WINDOW_TITLE, timeout=60) or [None]
            assert self.window, f"no window titled {layout.WINDOW_TITLE!r} within 60 s"
            self.client = self.shown() or self.session.client_geometry(self.window)  # left, top, width, height
            self.session.give_focus(self.window)  # as a window manager does with a new window
            self.wait_active(layout.WINDOW_TITLE)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        end(self.process)  # and any box it left open with it

    def pixels(self):
        """A function (x, y) -> (r, g, b) over the client area as shown now."""
        return self.session.screen_pixels(*self.client)

    def face(self, expected=None, timeout=2.0):
        """The button face's colour, once it is `expected` (else after a moment)."""
        now = lambda: self.pixels()(*layout.face_point(self.dpi))
        if expected is None:
            time.sleep(0.1)
        else:
            wait_until(f"the face to be {expected}", lambda: now() == expected, timeout)
        return now()

    def click(self, name):
        x, y = layout.centre(name, self.dpi)
        self.session.click((self.client[0] + x, self.client[1] + y))

    def type_into(self, name, text):  # over what the field holds
        self.click(name)
        self.key("ctrl+a", "BackSpace")
        self.type(text)

    def convert(self, red, green, blue):
        for name, text in zip(layout.INPUT_NAMES, (red, green, blue)):
            self.type_into(name, text)
        self.click(layout.BUTTON_NAME)

    def paste_into(self, name, text):
        self.session.set_clipboard(text)
        self.click(name)
        self.key("ctrl+a", "ctrl+v")
        # The program answers once it has taken the paste: only then may xclip, which serves
        # it, go, as it does when the next copy takes the clipboard.
        self.text(name)

    def copy_focused(self, *select_all):
        """What ctrl+c copies from the focused control, after the keys given: "" if nothing comes in
        copy_wait, None if the owner does not answer. Qt's copy shows as a new text over xclip's;
        Wine is left the clipboard (its mirror of it loses track when another program takes it
        just before a copy), and a copy shows as the new owner window Wine makes for each."""
        marker = "<nothing copied>"
        if self.clipboard_to_xclip:
            self.session.set_clipboard(marker)
        before = None if self.clipboard_to_xclip else self.session.clipboard_owner()
        self.key(*select_all, "ctrl+c")
        copy = wait_until("a copy", lambda: self.session.clipboard_owner() != before
                          and (text := self.session.clipboard()) != marker and [text], self.copy_wait, 0.05)
        return copy[0] if copy else ""

    def read(self, name):
        """The field's text, selected and copied as a person would; copied again if none comes
        (a busy machine) and the program holds text there."""
        def copied():
            self.click(name)
            text = self.copy_focused("ctrl+a")
            return [text] if text or (text == "" and not self.text(name)) else None
        copy = wait_until(f"a copy of {name}'s text", copied, self.patience, interval=0)
        assert copy, f"{name} holds text, but no copy of it came within {self.patience} s"
        return copy[0]

    def outputs(self):
        return [self.read(name) for name in layout.OUTPUT_NAMES]

    def text(self, name):  # as the program holds it
        return self.controls()[name]["text"]

    # No window manager runs: the harness moves the keyboard focus as one would, onto the box
    # and back (Wine moves it itself only once it has caught up with the box's mapping).
    def find_box(self, timeout=5.0):
        """The box, with the keyboard focus on it, or None if none comes within the timeout."""
        box, = self.session.titled(layout.ERROR_TITLE, timeout)[:1] or [None]
        if box is not None:
            self.session.give_focus(box)
        return box

    def dismiss_box(self, box, key="Return"):
        """Presses the key in the box; True once it has gone and the window has the keyboard focus back."""
        self.session.give_focus(box)  # as a window manager keeps it on the box, whatever was clicked meanwhile
        self.wait_active(layout.ERROR_TITLE)
        self.key(key)
        back = self.session.wait_gone(box) and self.session.give_focus(self.window)
        return bool(back) and self.wait_active(layout.WINDOW_TITLE) is not False

    def boxes(self):
        return self.session.titled(layout.ERROR_TITLE)

    def wait_active(self, title):
        """Until the program has made that window its active one, with a control focused, where keys go."""


class QtApp(App):
    def shown(self):
        desktop, self.atspi = self.target.atspi.Registry.getDesktop(0), self.target.atspi
        self.accessible = wait_until("the program on the accessibility bus", lambda: next(
            (a for a in desktop if a and a.get_process_id() == self.process.pid), None), 30, interval=0.05)
        assert self.accessible, "the program shows itself to screen readers"
        self.window_node = wait_until("its window there", lambda: self.showing(layout.WINDOW_TITLE), 10)

    def showing(self, title):
        return next((node for node in self.accessible if node.name == title and self.has(node, "SHOWING")), None)

    def has(self, node, state):
        return node.getState().contains(getattr(self.atspi, "STATE_" + state))

    def inside(self, node):
        """[(role, node)] of what shows in it, roles by number: libatspi 2.56 renamed some."""
        roles = {getattr(self.atspi, "ROLE_" + r): r for r in ("LABEL", "TEXT", "PUSH_BUTTON", "IMAGE", "ICON")}
        return [(roles.get(child.getRole(), child.getRoleName()), child)
                for child in self.atspi.findAllDescendants(node, lambda child: self.has(child, "SHOWING"))]

    def wait_active(self, title):
        def ready():
            node = self.showing(title)
            return node and self.has(node, "ACTIVE") and any(self.has(c, "FOCUSED") for _, c in self.inside(node))
        return wait_until(f"{title} to take keys", ready, 5)

    def control(self, role, node):  # a label by its caption, a field or the button by the label that names it
        if role == "LABEL":
            return next((c.name for c in layout.CONTROLS if c.role == "Caption" and c.caption == node.name), None)
        return getattr(layout.BY_ACCESSIBLE_NAME.get(node.name), "name", None)

    def box(self, window):
        owner = window.get_wm_transient_for()
        seen = wait_until("the box on the accessibility bus", lambda: self.showing(layout.ERROR_TITLE), 5)
        assert seen, "the box shows itself to screen readers"
        inside = [(role, node.name) for role, node in self.inside(seen)]
        return dict(title=self.session.title(window), owned_by_window=owner is not None and owner.id == self.window.id,
                    text="\n".join(name for role, name in inside if role == "LABEL" and name),
                    buttons=[name for role, name in inside if role == "PUSH_BUTTON"],
                    icon=any(role in ("IMAGE", "ICON") or (role == "LABEL" and not name) for role, name in inside))

    def controls(self):
        found = {}
        gi = self.atspi.Atspi
        for role, node in self.inside(self.window_node):
            extents = gi.Component.get_extents(node, gi.CoordType.WINDOW)
            found[self.control(role, node) or f"{role} {node.name!r}"] = dict(
                cls=CLASSES.get(role, role), text=gi.Text.get_text(node, 0, -1) if role == "TEXT" else node.name,
                visible=self.has(node, "VISIBLE"), read_only=role == "TEXT" and self.has(node, "READ_ONLY"),
                # Qt gives extents before its scale factor; on the screen they are that much larger.
                rect=tuple(value * self.dpi // 96 for value in (extents.x, extents.y, extents.width, extents.height)))
        return found

    def text(self, name):  # without the extents and states that controls() asks for
        return next(self.atspi.Atspi.Text.get_text(node, 0, -1) for node in self.window_node
                    if node.getRole() == self.atspi.ROLE_TEXT and self.control("TEXT", node) == name)

    def focus(self):  # None until the window is active: the focus shows only once it is
        focused = [(role, node) for role, node in self.inside(self.window_node) if self.has(node, "FOCUSED")]
        return (self.control(*focused[0]) or focused[0][1].name) if focused else None

    def faces(self, font):
        """The families of the font files it mapped to draw its window, for every font: Qt does
        not tell which control uses which."""
        self.face()
        with open(f"/proc/{self.process.pid}/maps") as maps:
            files = sorted({line.split()[-1] for line in maps if re.search(r"\.(ttf|ttc|otf)$", line.strip())})
        scanned = subprocess.run(["fc-scan", "--format", "%{family[0]}\n", *files], capture_output=True, text=True)
        return set(scanned.stdout.split("\n")) - {""}


class WineApp(App):
    copy_wait = 2.0  # Wine is slow to take a copy for a second or so after a long paste
    clipboard_to_xclip = False

    def __exit__(self, *exc):
        super().__exit__()
        self.target.stop()

    def probe(self, part="window"):
        """What quorvel_probe.exe sees of the window (once it answers, which it does not while busy
        with a long paste) or of the box, run in the program's own language (Wine's locale is per
        process)."""
        def answer():
            result = self.target.run(["wine", self.target.probe], self.session.env["LANG"], self.session.env,
                                     stdout=subprocess.PIPE, timeout=60)
            try:
                return json.loads(result.stdout)
            except ValueError:
                raise AssertionError(f"the probe printed no JSON: {result.stdout!r} {result.stderr[-2000:]!r}")
        state = wait_until(f"the probe to see the {part}", lambda: (found := answer())[part] and found,
                           self.patience, interval=0)
        assert state, f"the probe did not see the {part} for {self.patience} s"
        return state[part], state

    def shown(self):  # Wine draws the frame inside the X window: the client area is the window's answer
        return tuple(self.probe()[0]["client"].values())

    def box(self, window):
        box, state = self.probe("box")
        visible = [child for child in box["children"] if child["visible"]]
        return dict(title=self.session.title(window), client=tuple(box["client"].values()),
                    text="\n".join(c["text"] for c in visible if c["class"].lower() == "static" and c["text"]),
                    buttons=[c["text"] for c in visible if c["class"].lower() == "button"],
                    icon=any(c["icon"] for c in visible), owned_by_window=box["ownedByWindow"],
                    window_disabled=not state["window"]["enabled"])

    def focus(self):
        focus = self.probe()[0]["focus"]
        return layout.BY_ID[focus].name if focus in layout.BY_ID else str(focus)

    def controls(self):
        return {getattr(layout.BY_ID.get(child["id"]), "name", child["id"]): dict(
                    cls=child["class"].lower(), text=child["text"], visible=child["visible"],
                    read_only=child["readOnly"], limit=child["limit"], rect=tuple(child["rect"].values()))
                for child in self.probe()[0]["children"]}

    def faces_tried(self, font, done=lambda tried: any(asked == chosen for asked, chosen in tried)):
        """wine.faces_tried() of the trace (start(font_trace=True)), once done: a face chosen as itself."""
        read = lambda: wine.faces_tried(self.target.log.read_text(errors="replace"), font, self.dpi)
        wait_until(f"the trace of {font.face} to be done", lambda: done(read()), 10, 0.1)
        return read()

    def faces(self, font):
        return {chosen for _, chosen in self.faces_tried(font, done=lambda tried: any(c for _, c in tried))}


class QtTarget:
    wm_class = ("quorvel", "Quorvel")
    abilities = {"primary selection"}

    def __init__(self, name, build, prefix=None):
        self.name, self.program = name, str(pathlib.Path(build, "app", "quorvel"))

    def __enter__(self):
        """A private D-Bus session, as a desktop has, where the accessibility bus starts on demand
        (in a runtime folder of its own, apart from a desktop's); pyatspi finds it there once."""
        self.runtime = tempfile.TemporaryDirectory()
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    env=dict(desktop_free_environment(), XDG_RUNTIME_DIR=self.runtime.name),
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self.address = os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.bus.stdout.readline().decode().strip()
        for name in ("AT_SPI_BUS_ADDRESS", "DISPLAY"):  # else pyatspi goes to a desktop's bus
            os.environ.pop(name, None)
        import pyatspi
        self.atspi = pyatspi
        pyatspi.Registry.getDesktop(0).set_cache_mask(pyatspi.Atspi.Cache.NONE)
        return self

    def __exit__(self, *exc):
        os.killpg(self.bus.pid, signal.SIGKILL)  # with the accessibility bus and registry it started
        self.bus.wait()
        self.runtime.cleanup()

    def start(self, session, language="C", dpi=96, comma=False, font_trace=False, substitutes=True):
        """The program gets the private session, but not the accessibility bus's address: with
        it, Qt 6.4 connects twice and never registers."""
        locale = wine.LOCALES[language]
        env = dict(LANG=locale, LC_ALL="de_DE.UTF-8" if comma else locale,
                   DBUS_SESSION_BUS_ADDRESS=self.address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if dpi != 96:  # Qt scales a whole window by a factor, as for a screen of that density
            env["QT_SCALE_FACTOR"] = str(dpi // 96)
        return QtApp(self, session, session.start([self.program], env), dpi)


class WineTarget(wine.Prefix):
    wm_class = ("quorvel.exe", "quorvel.exe")
    abilities = {"leaving out substitutes"}

    def __init__(self, name, build, prefix=None):
        super().__init__(build, prefix, name)
        self.name, self.log = name, self.folder / "wine.log"
        self.program = str(pathlib.Path(build, "app", "Quorvel.exe").resolve())
        self.probe = str(pathlib.Path(build, "tests", "win32", "quorvel_probe.exe").resolve())

    def start(self, session, language="C", dpi=96, comma=False, font_trace=False, substitutes=True):
        """substitutes=False: without the registry's stand-ins for the designed faces, as on a
        Windows that has none of them, so that the program's own fallbacks are tried."""
        self.configure(language, dpi, comma, substitutes)
        session.env.update(LANG=wine.LOCALES[language], LC_ALL=wine.LOCALES[language])
        env = dict(self.env, WINEDEBUG="+font") if font_trace else self.env
        with open(self.log, "wb") as log:
            return WineApp(self, session, session.start(["wine", self.program], env, stdout=log, stderr=log), dpi)


TARGETS = {"qt": QtTarget, "wine64": WineTarget, "wine32": WineTarget, "wow64": WineTarget}
