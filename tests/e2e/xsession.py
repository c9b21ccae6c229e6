"""Runs a program in a private Xvfb server and lets a test look and act as a
person would: real windows, real key and mouse events, real pixels.

WinePrefix makes the throwaway Windows that runs Quorvel.exe in that server."""
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, error
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
                    if not k.startswith(("QT_", "WAYLAND_", "WINE")) and k not in ("XDG_SESSION_TYPE", "DESKTOP_SESSION")}
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
            self.x = None
        for process in (self.app, self.server):
            if process and process.poll() is None:
                process.kill()
                process.wait()
        if self.runtime:
            self.runtime.cleanup()
            self.runtime = None

    def start(self, extra_env=None, command=None, **popen):
        env = dict(self.env, **(extra_env or {}))
        self.app = subprocess.Popen(command or [self.program], env=env, **popen)
        return self.app

    def find_window(self, name, timeout=10.0):
        """The mapped top-level window with this title, waiting for it to appear."""
        window = self.find_titled(name, timeout)
        if window is None:
            raise AssertionError(f"no window named {name!r} within {timeout} s")
        return window

    def client_geometry(self, window):
        geometry = window.get_geometry()
        origin = window.translate_coords(self.x.screen().root, 0, 0)
        return -origin.x, -origin.y, geometry.width, geometry.height

    def screen_pixels(self, left, top, width, height):
        """A function (x, y) -> (r, g, b) over that part of the screen as shown now, from its top-left."""
        image = self.x.screen().root.get_image(left, top, width, height, X.ZPixmap, 0xFFFFFFFF)
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

    def title(self, window):
        """The window's title as the toolkit wrote it (UTF-8)."""
        name = window.get_full_property(self.x.intern_atom("_NET_WM_NAME"), self.x.intern_atom("UTF8_STRING"))
        if name is None:
            return window.get_wm_name()
        value = name.value
        return value.decode() if isinstance(value, bytes) else value

    def titled(self, title):
        """The mapped top-level windows whose UTF-8 title is `title`, as they are now."""
        found = []
        for window in self.x.screen().root.query_tree().children:
            try:
                if window.get_attributes().map_state == X.IsViewable and self.title(window) == title:
                    found.append(window)
            except Exception:  # the window went away while we looked
                continue
        return found

    def find_titled(self, title, timeout=5.0):
        """The mapped top-level window whose UTF-8 title is `title`, or None after the timeout."""
        deadline = time.monotonic() + timeout
        while True:
            found = self.titled(title)
            if found:
                return found[0]
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

    def give_focus(self, window):
        """Puts X's keyboard focus on the window, as a window manager does with the window a
        program activates; True if it is there (False if the window has gone)."""
        gone = error.CatchError(error.BadMatch, error.BadWindow)
        window.set_input_focus(X.RevertToParent, X.CurrentTime, onerror=gone)
        focus = self.x.get_input_focus().focus
        return not gone.get_error() and getattr(focus, "id", focus) == window.id

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def click_at(self, x, y):
        """A left click at (x, y) on the screen."""
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "1")

    def set_clipboard(self, text, selection="clipboard"):
        """Puts the text on the clipboard, or on the primary selection that a middle click pastes."""
        # xclip stays behind to serve the selection; it ends quietly with the server.
        subprocess.run(["xclip", "-selection", selection, "-i"], input=text.encode(), env=self.env, check=True,
                       stderr=subprocess.DEVNULL)

    def clipboard(self, timeout=5.0):
        """The clipboard's text, or None when its owner does not answer within the timeout:
        Wine, busy with a long text, can leave a request unanswered for good."""
        try:
            return subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env, check=True,
                                  capture_output=True, timeout=timeout).stdout.decode()
        except subprocess.TimeoutExpired:
            return None

    def copy_focused(self, select_all=("ctrl+a",), wait=0.5, attempts=3):
        """What selecting all and ctrl+c copy from the focused field; empty if nothing
        reaches the clipboard within `wait` seconds. A copy whose owner stops answering
        is made again."""
        marker = "<nothing copied>"
        for _ in range(attempts):
            self.set_clipboard(marker)
            self.xdotool("key", *select_all, "ctrl+c")
            # An empty field copies nothing, so the marker stays; give a busy machine a moment first.
            deadline = time.monotonic() + wait
            while (copied := self.clipboard()) == marker and time.monotonic() < deadline:
                time.sleep(0.05)
            if copied is not None:
                return "" if copied == marker else copied
            print("the clipboard's owner did not answer; copying again", file=sys.stderr)
        raise AssertionError(f"the clipboard's owner did not answer {attempts} times")


def _registry_file(keys):
    """A .reg file's bytes for {key: {name: value}}; int values are dwords, None deletes the value."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key, values in keys.items():
        lines.append(f"[{key}]")
        for name, value in values.items():
            if value is None:
                data = "-"
            else:
                data = f"dword:{value:08x}" if isinstance(value, int) else '"' + value.replace("\\", "\\\\") + '"'
            lines.append(f'"{name}"={data}')
        lines.append("")
    return b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le")


FONT_SUBSTITUTES = {
    "楷体_GB2312": "AR PL UKai CN", "KaiTi_GB2312": "AR PL UKai CN", "楷体": "AR PL UKai CN", "KaiTi": "AR PL UKai CN",
    "宋体": "AR PL UMing CN", "SimSun": "AR PL UMing CN",
    "Times New Roman": "Liberation Serif",
    # Wine's own Tahoma, its dialog and message font, comes in fonts-wine; without
    # it labels fall back to a thin CJK face that draws Latin text in light grey.
    "Tahoma": "Liberation Sans",
}


class WineUnavailable(RuntimeError):
    """The Wine that should run the program cannot run here (the 32-bit one needs its chroot and root)."""


def wine_settings():
    """The Wine settings this run was given (WINEDLLOVERRIDES, WINEDEBUG, WINEARCH ...): the build
    hands them to its tests, and a build folder's wine-environment.txt holds them for a run by hand."""
    return {k: v for k, v in os.environ.items() if k.startswith("WINE") and k != "WINEPREFIX"}


def use_build_wine(build):
    """Takes the Wine settings, and the Wine itself, that the build folder's tests use."""
    settings = pathlib.Path(build) / "wine-environment.txt"
    if not settings.exists():
        raise RuntimeError(f"{settings} is missing: configure that build first")
    for line in settings.read_text().splitlines():
        name, _, value = line.partition("=")
        if name == "PATH+":
            os.environ["PATH"] = value + os.pathsep + os.environ.get("PATH", "")
        elif name:
            os.environ[name] = value


class WinePrefix:
    """A fresh Wine prefix in a temporary folder, with its own HOME and XDG
    folders: made once for a test run, shared by its scenarios, and removed with
    every process Wine started in it when the run ends, however it ends.

    Set up for a machine with no window manager, a 96 DPI screen unless told
    otherwise, and the open-source faces standing in for the Windows ones. Wine's
    own settings are the run's (wine_settings()); `wine` is whichever PATH finds."""

    TAG = "quorvel-wine-"

    def __init__(self, dpi=96):
        self.dpi = dpi
        self.folder = None
        self.env = None
        self.settings = wine_settings()
        if "WINEDLLOVERRIDES" not in self.settings:
            raise RuntimeError("no Wine settings: run through ctest, or call use_build_wine(BUILD_FOLDER) first")

    def __enter__(self):
        self.create()
        return self

    def __exit__(self, *exc):
        self.remove()

    def create(self):
        self.sweep_abandoned()
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix=self.TAG))
        (self.folder / "owner").write_text(str(os.getpid()))
        home = self.folder / "home"
        for sub in (".config", ".local/share", ".cache"):
            (home / sub).mkdir(parents=True)
        self.env = dict(self.settings, WINEPREFIX=str(self.folder / "prefix"), HOME=str(home),
                        XDG_CONFIG_HOME=str(home / ".config"), XDG_DATA_HOME=str(home / ".local/share"),
                        XDG_CACHE_HOME=str(home / ".cache"))
        # Made without a display: nothing of it may depend on the X server of one scenario.
        made = subprocess.run(["wineboot", "-i"], env=self.offscreen_env(), timeout=180,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if made.returncode == 77:
            raise WineUnavailable(made.stderr.decode(errors="replace").strip())
        if made.returncode != 0:
            raise RuntimeError(f"wineboot -i failed ({made.returncode}): {made.stderr.decode(errors='replace')[-2000:]}")
        self.set_registry({
            r"HKEY_CURRENT_USER\Software\Wine\X11 Driver": {"Managed": "N"},
            r"HKEY_CURRENT_USER\Control Panel\Desktop": {"LogPixels": self.dpi},
            r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes": FONT_SUBSTITUTES,
        })
        self.stop_server()

    def set_registry(self, keys, locale="C.UTF-8"):
        """Writes the values with regedit; a running program sees them after the next server start.

        Wine rewrites the user's locale settings when it starts in another locale
        than last time: give the locale the next program runs in."""
        reg = self.folder / "settings.reg"
        reg.write_bytes(_registry_file(keys))
        subprocess.run(["wine", "regedit", "/S", str(reg)], env=self.offscreen_env(LANG=locale, LC_ALL=locale),
                       check=True, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.stop_server()

    def offscreen_env(self, **extra):
        """This process's environment without its display, locale or Wine settings, with the prefix's."""
        own = ("WINE", "DISPLAY", "XDG_", "LC_", "LANG")
        base = {k: v for k, v in os.environ.items() if not k.startswith(own)}
        return dict(base, **self.env, **extra)

    def stop_server(self):
        """Ends the prefix's Wine server and every Wine process of the prefix; the prefix stays."""
        if not self.folder:
            return
        try:
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, **self.env), timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass
        _reap(self.env["WINEPREFIX"])

    def remove(self):
        if not self.folder:
            return
        self.stop_server()
        folder, self.folder = self.folder, None
        shutil.rmtree(folder, ignore_errors=True)

    @classmethod
    def sweep_abandoned(cls):
        """Removes prefixes whose test run was killed before it could clean up."""
        for folder in pathlib.Path(tempfile.gettempdir()).glob(cls.TAG + "*"):
            try:
                owner = int((folder / "owner").read_text())
                os.kill(owner, 0)
                continue  # its run is still going
            except (OSError, ValueError):
                pass
            _reap(str(folder / "prefix"))
            shutil.rmtree(folder, ignore_errors=True)


def _reap(prefix):
    """Kills Wine's helpers (services.exe, winedevice.exe, explorer.exe, ...)
    started in that prefix; once the test ends nothing else would."""
    marker = f"WINEPREFIX={prefix}".encode()
    deadline = time.monotonic() + 5.0
    while True:
        found = []
        for entry in pathlib.Path("/proc").iterdir():
            if not entry.name.isdigit() or int(entry.name) == os.getpid():
                continue
            try:
                if marker in (entry / "environ").read_bytes().split(b"\0"):
                    found.append(int(entry.name))
            except OSError:  # gone, or not ours to read
                continue
        if not found or time.monotonic() >= deadline:
            return
        for pid in found:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        time.sleep(0.1)
