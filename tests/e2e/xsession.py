"""Runs the built quorvel in a private Xvfb server and lets a test look and act
as a person would: real windows, real key and mouse events, real pixels."""
import os
import subprocess
import tempfile
import time

from Xlib import X, display
from Xlib.protocol import event


# Centres of the window's controls in its client area, from its layout.
INPUTS = [(76, 45), (76, 85), (76, 125)]      # Text1..Text3: R, G, B
OUTPUTS = [(260, 37), (260, 77), (260, 117), (260, 157)]  # Text4..Text7: K, C, M, Y
BUTTON = (160, 92)                            # Command1
FACE = (160, 44)                              # on Command1's face, above the caption


class XSession:
    def __init__(self, program):
        self.program = program
        self.server = None
        self.app = None
        self.env = None
        self.runtime = None
        self.x = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-dpi", "96", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("QT_", "WAYLAND_")) and k not in ("XDG_SESSION_TYPE", "DESKTOP_SESSION")}
        self.runtime = tempfile.TemporaryDirectory()
        os.chmod(self.runtime.name, 0o700)
        self.env.update(DISPLAY=":" + number, LANG="C.UTF-8", LC_ALL="C.UTF-8", QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.runtime.name)
        self.x = display.Display(self.env["DISPLAY"])
        return self

    def __exit__(self, *exc):
        if self.x:
            try:
                self.x.close()
            except Exception:  # the server is already gone
                pass
        for process in (self.app, self.server):
            if process and process.poll() is None:
                process.kill()
                process.wait()
        if self.runtime:
            self.runtime.cleanup()

    def start(self, extra_env=None, command=None):
        env = dict(self.env, **(extra_env or {}))
        self.app = subprocess.Popen(command or [self.program], env=env)
        return self.app

    def find_window(self, name, timeout=10.0):
        """The mapped top-level window with this title, waiting for it to appear."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for window in self.x.screen().root.query_tree().children:
                try:
                    if window.get_wm_name() == name and window.get_attributes().map_state == X.IsViewable:
                        return window
                except Exception:  # the window went away while we looked
                    continue
            time.sleep(0.02)
        raise AssertionError(f"no window named {name!r} within {timeout} s")

    def client_geometry(self, window):
        geometry = window.get_geometry()
        origin = window.translate_coords(self.x.screen().root, 0, 0)
        return -origin.x, -origin.y, geometry.width, geometry.height

    def pixels(self, window):
        """A function (x, y) -> (r, g, b) over the window's client area, as shown now."""
        _, _, width, height = self.client_geometry(window)
        image = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
        data = image.data
        def at(x, y):
            offset = (y * width + x) * 4
            blue, green, red = data[offset], data[offset + 1], data[offset + 2]
            return red, green, blue
        return at

    def wait_for_pixel(self, window, x, y, expected, timeout=2.0):
        """The pixel at (x, y) once it shows `expected`, or as it is when the timeout runs out."""
        deadline = time.monotonic() + timeout
        while True:
            pixel = self.pixels(window)(x, y)
            if pixel == expected or time.monotonic() >= deadline:
                return pixel
            time.sleep(0.02)

    def screenshot(self, window, path):
        x, y, width, height = self.client_geometry(window)
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage", path],
                       env=self.env, check=True)

    def close(self, window):
        """Asks the window to close, as a window manager's close button does."""
        protocols = self.x.intern_atom("WM_PROTOCOLS")
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        message = event.ClientMessage(window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(message)
        self.x.flush()

    def title(self, window):
        """The window's title as the toolkit wrote it (UTF-8)."""
        name = window.get_full_property(self.x.intern_atom("_NET_WM_NAME"), self.x.intern_atom("UTF8_STRING"))
        if name is None:
            return window.get_wm_name()
        value = name.value
        return value.decode() if isinstance(value, bytes) else value

    def find_titled(self, title, timeout=5.0):
        """The mapped top-level window whose UTF-8 title is `title`, or None after the timeout."""
        deadline = time.monotonic() + timeout
        while True:
            for window in self.x.screen().root.query_tree().children:
                try:
                    if window.get_attributes().map_state == X.IsViewable and self.title(window) == title:
                        return window
                except Exception:  # the window went away while we looked
                    continue
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.01)

    def wait_gone(self, window, timeout=5.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if window.get_attributes().map_state != X.IsViewable:
                    return True
            except Exception:  # destroyed
                return True
            time.sleep(0.01)
        return False

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def click(self, window, x, y):
        """A left click at (x, y) in the window's client area."""
        left, top, _, _ = self.client_geometry(window)
        self.xdotool("mousemove", "--sync", str(left + x), str(top + y), "click", "1")

    def type_into(self, window, x, y, text):
        """Clicks the field at (x, y), selects what it holds and types the text over it."""
        self.click(window, x, y)
        self.xdotool("key", "ctrl+a", "BackSpace")
        if text:
            self.xdotool("type", "--delay", "5", "--", text)

    def convert(self, window, red, green, blue):
        """Types the three channels and clicks the button, as a person does."""
        for (x, y), text in zip(INPUTS, (red, green, blue)):
            self.type_into(window, x, y, text)
        self.click(window, *BUTTON)

    def copy_from(self, window, x, y):
        """The field's text, selected and copied to the clipboard as a person would."""
        marker = "<nothing copied>"
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=marker.encode(), env=self.env, check=True)
        self.click(window, x, y)
        self.xdotool("key", "ctrl+a", "ctrl+c")
        # An empty field copies nothing, so the marker stays; give a busy machine a moment first.
        deadline = time.monotonic() + 0.5
        while True:
            copied = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env, check=True,
                                    capture_output=True).stdout.decode()
            if copied != marker or time.monotonic() >= deadline:
                return "" if copied == marker else copied
            time.sleep(0.05)

    def resident_kib(self):
        with open(f"/proc/{self.app.pid}/status") as status:
            return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
