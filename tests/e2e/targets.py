"""The windows the scenarios run against, each in an X server of its own: fields read by
select-all and copy, the face by its pixels, the box as its own X window; what X cannot show
the Qt window tells over AT-SPI (one bus a run), Quorvel.exe through quorvel_probe.exe and
Wine's font trace (one prefix a run). A reading a target cannot make is None, and the
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
    CLASSES = {"LABEL": "static", "TEXT": "edit", "PUSH_BUTTON": "button"}

    def role(self, node):  # by number: libatspi 2.56 renamed some (a push button is a button)
        return {getattr(self.target.atspi, "ROLE_" + name): name
                for name in ("LABEL", "TEXT", "PUSH_BUTTON", "IMAGE", "ICON")}.get(node.getRole(), node.getRoleName())

    def shown(self):
        self.atspi = self.target.atspi.Atspi
        desktop = self.target.atspi.Registry.getDesktop(0)
        self.accessible = wait_until("the program on the accessibility bus", lambda: next(
            (a for a in desktop if a and a.get_process_id() == self.process.pid), None), 30, interval=0.05)
        assert self.accessible, "the program shows itself to screen readers"
        self.window_node = wait_until("its window there", lambda: self.showing(layout.WINDOW_TITLE), 10)

    def showing(self, name):
        return next((node for node in self.accessible if node.name == name and self.has(node, "SHOWING")), None)

    def wait_active(self, title):
        def ready():
            node = self.showing(title)
            return node and self.has(node, "ACTIVE") and any(self.has(c, "FOCUSED") for c in self.inside(node))
        return wait_until(f"{title} to take keys", ready, 5)

    def has(self, node, state):
        return node.getState().contains(getattr(self.target.atspi, "STATE_" + state))

    def inside(self, node):
        return self.target.atspi.findAllDescendants(node, lambda child: self.has(child, "SHOWING"))

    def control(self, node):  # a label by its caption, a field by the label that names it
        if self.role(node) == "LABEL":
            return next((c.name for c in layout.CONTROLS if c.role == "Caption" and c.caption == node.name), None)
        return getattr(layout.BY_ACCESSIBLE_NAME.get(node.name), "name", None)

    def box(self, window):
        owner = window.get_wm_transient_for()
        seen = wait_until("the box on the accessibility bus", lambda: self.showing(layout.ERROR_TITLE), 5)
        assert seen, "the box shows itself to screen readers"
        inside = [(self.role(node), node.name) for node in self.inside(seen)]
        return dict(title=self.session.title(window), owned_by_window=owner is not None and owner.id == self.window.id,
                    text="\n".join(name for role, name in inside if role == "LABEL" and name),
                    buttons=[name for role, name in inside if role == "PUSH_BUTTON"],
                    icon=any(role in ("IMAGE", "ICON") or (role == "LABEL" and not name) for role, name in inside))

    def controls(self):
        found = {}
        for node in self.window_node:
            role, extents = self.role(node), self.atspi.Component.get_extents(node, self.atspi.CoordType.WINDOW)
            found[self.control(node) or f"{role} {node.name!r}"] = dict(
                cls=self.CLASSES.get(role, role), text=node.name if role != "TEXT" else "",
                visible=self.has(node, "VISIBLE"), read_only=role == "TEXT" and self.has(node, "READ_ONLY"),
                # Qt gives extents before its scale factor; on the screen they are that much larger.
                rect=tuple(value * self.dpi // 96 for value in (extents.x, extents.y, extents.width, extents.height)))
        return found

    def text(self, name):
        return next(self.atspi.Text.get_text(node, 0, -1) for node in self.window_node
                    if self.role(node) == "TEXT" and self.control(node) == name)

    def focus(self):  # None until the window is active: the focus shows only once it is
        focused = [node for node in self.inside(self.window_node) if self.has(node, "FOCUSED")]
        return (self.control(focused[0]) or focused[0].name) if focused else None

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

    def shown(self):  # Wine draws the frame inside the X window: the client area is the window's answer
        state = wait_until("the probe to see the window", lambda: self.probe()["window"], 30, interval=0.1)
        assert state, "the probe sees the window"
        return tuple(state["client"].values())

    def __exit__(self, *exc):
        super().__exit__()
        self.target.prefix.stop()

    def probe(self):
        """What quorvel_probe.exe sees, run in the program's own language (Wine's locale is per process)."""
        result = self.target.prefix.run(["wine", self.target.probe], self.session.env["LANG"], self.session.env,
                                        stdout=subprocess.PIPE, timeout=60)
        try:
            return json.loads(result.stdout)
        except ValueError:
            raise AssertionError(f"the probe printed no JSON: {result.stdout!r} {result.stderr[-2000:]!r}")

    def text(self, name):  # once the window answers, which it does not while busy with a long paste
        window = wait_until("the window to answer", lambda: self.probe()["window"], self.patience, interval=0)
        assert window, f"the window did not answer for {self.patience} s"
        return next(child["text"] for child in window["children"] if child["id"] == layout.BY_NAME[name].control_id)

    def box(self, window):
        state, box = self.probe(), dict(title=self.session.title(window))
        if state["box"] is not None:
            box["client"] = tuple(state["box"]["client"].values())
            visible = [child for child in state["box"]["children"] if child["visible"]]
            box.update(text="\n".join(c["text"] for c in visible if c["class"].lower() == "static" and c["text"]),
                       buttons=[c["text"] for c in visible if c["class"].lower() == "button"],
                       icon=any(c["icon"] for c in visible), owned_by_window=state["box"]["ownedByWindow"],
                       window_disabled=not state["window"]["enabled"])
        return box

    def focus(self):
        focus = self.probe()["window"]["focus"]
        return layout.BY_ID[focus].name if focus in layout.BY_ID else str(focus)

    def controls(self):
        return {getattr(layout.BY_ID.get(child["id"]), "name", child["id"]): dict(
                    cls=child["class"].lower(), text=child["text"], visible=child["visible"],
                    read_only=child["readOnly"], limit=child["limit"], rect=tuple(child["rect"].values()))
                for child in self.probe()["window"]["children"]}

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
        """A private D-Bus session, as a desktop has, where the accessibility bus starts on
        demand. The programs get only that session (with AT_SPI_BUS_ADDRESS too, Qt 6.4
        connects twice and never registers); this process reads the accessibility bus."""
        self.runtime = tempfile.TemporaryDirectory()
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1",
                                     f"--address=unix:dir={self.runtime.name}"],
                                    env=dict(desktop_free_environment(), XDG_RUNTIME_DIR=self.runtime.name),
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self.address = self.bus.stdout.readline().decode().strip()
        from gi.repository import Gio, GLib
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        bus = Gio.DBusConnection.new_for_address_sync(self.address, flags, None, None)
        os.environ["AT_SPI_BUS_ADDRESS"] = bus.call_sync(  # pyatspi connects once, on first use
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, GLib.VariantType("(s)"),
            Gio.DBusCallFlags.NONE, 10000, None).unpack()[0]
        bus.close_sync(None)
        import pyatspi
        self.atspi = pyatspi
        pyatspi.Registry.getDesktop(0).set_cache_mask(pyatspi.Atspi.Cache.NONE)
        return self

    def __exit__(self, *exc):
        os.killpg(self.bus.pid, signal.SIGKILL)  # with the accessibility bus and registry it started
        self.bus.wait()
        self.runtime.cleanup()

    def start(self, session, language="C", dpi=96, comma=False, font_trace=False, substitutes=True):
        locale = wine.LOCALES[language]
        env = dict(LANG=locale, LC_ALL="de_DE.UTF-8" if comma else locale,
                   DBUS_SESSION_BUS_ADDRESS=self.address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if dpi != 96:  # Qt scales a whole window by a factor, as for a screen of that density
            env["QT_SCALE_FACTOR"] = str(dpi // 96)
        return QtApp(self, session, session.start([self.program], env), dpi)


class WineTarget:
    wm_class = ("quorvel.exe", "quorvel.exe")
    abilities = {"leaving out substitutes"}

    def __init__(self, name, build, prefix=None):
        self.name, self.prefix = name, wine.Prefix(build, prefix)
        self.program = str(pathlib.Path(build, "app", "Quorvel.exe").resolve())
        self.probe = str(pathlib.Path(build, "tests", "win32", "quorvel_probe.exe").resolve())
        self.log = self.prefix.folder / "wine.log"

    def __enter__(self):
        self.prefix.__enter__()
        return self

    def __exit__(self, *exc):
        self.prefix.__exit__()

    def start(self, session, language="C", dpi=96, comma=False, font_trace=False, substitutes=True):
        """substitutes=False: without the registry's stand-ins for the designed faces, as on a
        Windows that has none of them, so that the program's own fallbacks are tried."""
        self.prefix.configure(language, dpi, comma, substitutes)
        session.env.update(LANG=wine.LOCALES[language], LC_ALL=wine.LOCALES[language])
        env = dict(self.prefix.env, WINEDEBUG="+font") if font_trace else self.prefix.env
        with open(self.log, "wb") as log:
            return WineApp(self, session, session.start(["wine", self.program], env, stdout=log, stderr=log), dpi)


TARGETS = {"qt": QtTarget, "wine64": WineTarget, "wine32": WineTarget}
