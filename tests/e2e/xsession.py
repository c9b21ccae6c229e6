"""A private Xvfb server where a test or a benchmark runs programs and looks and acts as a
person would: real windows, key and mouse events (XTEST), pixels. Its programs end with it."""
import contextlib
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

from Xlib import X, XK, display, error
from Xlib.ext import record, xtest
from Xlib.protocol import event


def wait_until(what, predicate, timeout, interval=0.02):
    """predicate()'s first true value; after `timeout` seconds its last, for the caller to check."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(interval)
    if not value and timeout:
        print(f"waited {timeout} s for {what}", file=sys.stderr)
    return value


def desktop_free_environment():  # without the desktop session's display, buses and toolkit settings
    return {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "WAYLAND_", "WINE", "AT_SPI"))
            and k not in ("DISPLAY", "XDG_SESSION_TYPE", "DESKTOP_SESSION", "DBUS_SESSION_BUS_ADDRESS")}


def end(process):
    if process.poll() is None:
        process.kill()
    process.wait()


class XSession:
    """Xvfb on a free display, 1024 × 768 at 96 dpi, and a connection to it."""

    def __enter__(self):
        signal.signal(signal.SIGTERM, signal.default_int_handler)  # stopped from outside: unwind, end all
        self.programs, self.runtime = [], tempfile.TemporaryDirectory()
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-dpi", "96", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        os.chmod(self.runtime.name, 0o700)
        self.env = dict(desktop_free_environment(), DISPLAY=":" + number, LANG="C.UTF-8", LC_ALL="C.UTF-8",
                        QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=self.runtime.name)
        try:
            self.x = display.Display(self.env["DISPLAY"])
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        for process in self.programs:
            end(process)
        end(self.server)  # and xclip, which serves what a test put on the clipboard, with it
        self.runtime.cleanup()

    def start(self, command, env=None, **popen):  # a program that ends with the server if not before
        self.programs.append(subprocess.Popen(command, env=dict(self.env, **(env or {})), **popen))
        return self.programs[-1]

    # Acting.
    def _keycode(self, name):
        return self.x.keysym_to_keycode(XK.string_to_keysym({"ctrl": "Control_L", "shift": "Shift_L"}.get(name, name)))

    def _tap(self, codes):
        for kind, code in [(X.KeyPress, code) for code in codes] + [(X.KeyRelease, code) for code in codes[::-1]]:
            xtest.fake_input(self.x, kind, code)

    def key(self, *keys):
        """Presses and lets go of each key or combination in turn: "Return", "ctrl+a"."""
        for combination in keys:
            self._tap([self._keycode(name) for name in combination.split("+")])
            self.x.sync()
            time.sleep(0.002)  # a key pressed in the millisecond of the last one's release reads as X's repeat of it

    def type(self, text):  # ASCII
        for character in text:
            code, level = next(self.x.keysym_to_keycodes(ord(character)))
            self._tap([self._keycode("shift"), code] if level % 2 else [code])
        self.x.sync()

    @contextlib.contextmanager
    def held(self, key):  # held down while the block runs; the server repeats it as for a person
        xtest.fake_input(self.x, X.KeyPress, self._keycode(key))
        self.x.sync()
        try:
            yield
        finally:
            xtest.fake_input(self.x, X.KeyRelease, self._keycode(key))
            self.x.sync()

    def click(self, point=None, button=1):  # at (x, y) on the screen, or wherever the pointer is
        if point:
            xtest.fake_input(self.x, X.MotionNotify, x=point[0], y=point[1])
        xtest.fake_input(self.x, X.ButtonPress, button)
        xtest.fake_input(self.x, X.ButtonRelease, button)
        self.x.sync()

    def close(self, window):  # as a window manager's close button does
        protocols, delete = self.x.intern_atom("WM_PROTOCOLS"), self.x.intern_atom("WM_DELETE_WINDOW")
        window.send_event(event.ClientMessage(window=window, client_type=protocols,
                                              data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        self.x.flush()

    def give_focus(self, window):
        """X's keyboard focus on the window, as a window manager puts it on the window a program
        activates; True if it is there (False if the window has gone)."""
        gone = error.CatchError(error.BadMatch, error.BadWindow)
        window.set_input_focus(X.RevertToParent, X.CurrentTime, onerror=gone)
        focus = self.x.get_input_focus().focus
        return not gone.get_error() and getattr(focus, "id", focus) == window.id

    # Looking.
    def title(self, window):  # as the toolkit wrote it, in UTF-8
        name = window.get_full_property(self.x.intern_atom("_NET_WM_NAME"), self.x.intern_atom("UTF8_STRING"))
        value = window.get_wm_name() if name is None else name.value
        return value.decode() if isinstance(value, bytes) else value

    def titled(self, title, timeout=0.0):
        """The mapped top-level windows titled `title`, once there are any or the timeout has passed."""
        def now():
            found = []
            for window in self.x.screen().root.query_tree().children:
                with contextlib.suppress(error.XError):  # gone while we looked
                    if window.get_attributes().map_state == X.IsViewable and self.title(window) == title:
                        found.append(window)
            return found
        return wait_until(f"a window titled {title!r}", now, timeout, interval=0.01)

    def wait_gone(self, window, timeout=5.0):
        def gone():
            try:
                return window.get_attributes().map_state != X.IsViewable
            except error.XError:  # destroyed
                return True
        return wait_until("the window to go", gone, timeout, interval=0.01)

    def client_geometry(self, window):
        geometry, origin = window.get_geometry(), window.translate_coords(self.x.screen().root, 0, 0)
        return -origin.x, -origin.y, geometry.width, geometry.height

    def screen_pixels(self, left, top, width, height):
        """A function (x, y) -> (r, g, b) over that part of the screen as shown now."""
        data = self.x.screen().root.get_image(left, top, width, height, X.ZPixmap, 0xFFFFFFFF).data
        return lambda x, y: tuple(data[(y * width + x) * 4 + 2 - channel] for channel in range(3))

    @contextlib.contextmanager
    def bells(self):
        """[how often any program rang the bell while the block ran], from X's RECORD of the
        Bell requests (opcode 104) reaching the server."""
        rung, recorder, nothing = [0], display.Display(self.env["DISPLAY"]), (0, 0)
        context = self.x.record_create_context(0, [record.AllClients], [dict(
            core_requests=(104, 104), core_replies=nothing, ext_requests=nothing * 2, ext_replies=nothing * 2,
            delivered_events=nothing, device_events=nothing, errors=nothing, client_started=False,
            client_died=False)])
        self.x.sync()
        counted = lambda reply: rung.__setitem__(0, rung[0] + (reply.category == record.FromClient))
        listener = threading.Thread(target=recorder.record_enable_context, args=(context, counted), daemon=True)
        listener.start()
        try:
            yield rung
        finally:
            self.x.record_disable_context(context)
            self.x.flush()
            listener.join(5)
            self.x.record_free_context(context)
            recorder.close()

    # The clipboard, or the primary selection that a middle click pastes.
    def set_clipboard(self, text, selection="clipboard"):
        # xclip serves it until another program takes it, having taken it once in the background.
        subprocess.run(["xclip", "-selection", selection, "-i"], input=text.encode(), env=self.env, check=True,
                       stderr=subprocess.DEVNULL)
        wait_until("xclip to take the selection", lambda: self.clipboard(selection=selection) == text, 10.0)

    def clipboard_owner(self):
        return self.x.get_selection_owner(self.x.intern_atom("CLIPBOARD"))

    def clipboard(self, timeout=5.0, selection="clipboard"):
        """The text, or None if its owner does not answer (Wine, busy with a long text, may never)."""
        with contextlib.suppress(subprocess.TimeoutExpired):
            return subprocess.run(["xclip", "-selection", selection, "-o"], env=self.env, capture_output=True,
                                  timeout=timeout).stdout.decode()
        return None
