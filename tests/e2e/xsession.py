"""A private Xvfb server where a test or a benchmark runs programs and looks
and acts as a person would: real windows, real key and mouse events (XTEST),
real pixels. The programs started on it end with it."""
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
        # Stopped from outside, a run unwinds as on Ctrl+C and still ends what it started.
        signal.signal(signal.SIGTERM, signal.default_int_handler)
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
        name = {"ctrl": "Control_L", "shift": "Shift_L"}.get(name, name)
        return self.x.keysym_to_keycode(XK.string_to_keysym(name))

    def _tap(self, codes):
        for kind, code in [(X.KeyPress, code) for code in codes] + [(X.KeyRelease, code) for code in codes[::-1]]:
            xtest.fake_input(self.x, kind, code)

    def key(self, *keys):
        """Presses and lets go of each key or combination in turn: "Return", "ctrl+a"."""
        for combination in keys:
            self._tap([self._keycode(name) for name in combination.split("+")])
            # A key pressed in the millisecond of the last one's release reads as X's repeat of it.
            self.x.sync()
            time.sleep(0.002)

    def type(self, text):  # ASCII
        for character in text:
            code, level = next(self.x.keysym_to_keycodes(ord(character)))
            self._tap([self._keycode("shift"), code] if level % 2 else [code])
        self.x.sync()

    @contextlib.contextmanager
    def held(self, key):
        """Holds the key down while the block runs; the server repeats it as for a person."""
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
        """Puts X's keyboard focus on the window, as a window manager does with the window a
        program activates; True if it is there (False if the window has gone)."""
        gone = error.CatchError(error.BadMatch, error.BadWindow)
        window.set_input_focus(X.RevertToParent, X.CurrentTime, onerror=gone)
        focus = self.x.get_input_focus().focus
        return not gone.get_error() and getattr(focus, "id", focus) == window.id

    # Looking.
    def title(self, window):  # as the toolkit wrote it, in UTF-8
        name = window.get_full_property(self.x.intern_atom("_NET_WM_NAME"), self.x.intern_atom("UTF8_STRING"))
        if name is None:
            return window.get_wm_name()
        return name.value.decode() if isinstance(name.value, bytes) else name.value

    def titled(self, title, timeout=0.0):
        """The mapped top-level windows titled `title`, once there are any or the timeout has passed."""
        def now():
            found = []
            for window in self.x.screen().root.query_tree().children:
                with contextlib.suppress(error.XError):  # a window that went away while we looked
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
        """[the number of times any program rang the bell] while the block runs, as X's RECORD sees
        the Bell requests (core opcode 104) reach the server."""
        rung, recorder = [0], display.Display(self.env["DISPLAY"])
        ranges = dict(core_requests=(104, 104), core_replies=(0, 0), ext_requests=(0, 0, 0, 0),
                      ext_replies=(0, 0, 0, 0), delivered_events=(0, 0), device_events=(0, 0), errors=(0, 0),
                      client_started=False, client_died=False)
        context = self.x.record_create_context(0, [record.AllClients], [ranges])
        self.x.sync()

        def count(reply):
            rung[0] += reply.category == record.FromClient and reply.data[:1] == b"\x68"
        listener = threading.Thread(target=recorder.record_enable_context, args=(context, count), daemon=True)
        listener.start()
        try:
            yield rung
        finally:
            self.x.record_disable_context(context)
            self.x.flush()
            listener.join(5)
            self.x.record_free_context(context)
            recorder.close()

    # The clipboard.
    def set_clipboard(self, text, selection="clipboard"):  # or the primary selection, which a middle click pastes
        # xclip stays behind to serve the selection until another program takes it; it takes
        # the selection only after it has gone into the background.
        subprocess.run(["xclip", "-selection", selection, "-i"], input=text.encode(), env=self.env, check=True,
                       stderr=subprocess.DEVNULL)
        wait_until("xclip to take the selection", lambda: self.clipboard(selection=selection) == text, 10.0)

    def clipboard_owner(self):
        return self.x.get_selection_owner(self.x.intern_atom("CLIPBOARD"))

    def clipboard(self, timeout=5.0, selection="clipboard"):
        """The clipboard's text, or None if its owner does not answer (Wine, busy with a long text, may never)."""
        with contextlib.suppress(subprocess.TimeoutExpired):
            return subprocess.run(["xclip", "-selection", selection, "-o"], env=self.env, capture_output=True,
                                  timeout=timeout).stdout.decode()
        return None
