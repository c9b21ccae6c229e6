"""Runs the built quorvel in a private Xvfb server and lets a test look and act
as a person would: real windows, real key and mouse events, real pixels."""
import os
import subprocess
import tempfile
import time

from Xlib import X, display
from Xlib.protocol import event


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

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)
