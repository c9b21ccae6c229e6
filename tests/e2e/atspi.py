"""What a screen reader sees of a Qt program: a private D-Bus session with the
accessibility bus on it, as a desktop session has, and a reader of the tree
of accessible objects the program shows there (AT-SPI over python3-dbus).

Start the program with app_env(); AT_SPI_BUS_ADDRESS must stay unset, or Qt
6.4 connects twice and never registers."""
import os
import signal
import subprocess
import time
from typing import NamedTuple

try:
    import dbus
except ImportError:  # python3-dbus is not installed: nothing to read with
    dbus = None

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
ROOT = ("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
ACCESSIBLE = "org.a11y.atspi.Accessible"

# AtspiStateType values.
EDITABLE = 7
FOCUSED = 12
SHOWING = 25
VISIBLE = 30
READ_ONLY = 43
WINDOW_COORDINATES = 1  # AtspiCoordType: from the top-level window's corner


class Node(NamedTuple):
    role: str
    name: str
    states: frozenset
    extents: tuple  # left, top, width, height in the top-level window, or None
    children: tuple
    text: str = None  # what a text field holds

    def showing(self):
        return SHOWING in self.states

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()


def available():
    return dbus is not None and os.access(LAUNCHER, os.X_OK)


class AccessibilityBus:
    def __init__(self, env):
        self.env = env
        self.processes = []
        self.address = None
        self.a11y = None

    def __enter__(self):
        try:
            session = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE)
            with session.stdout:
                self.address = session.stdout.readline().decode().strip()
            env = dict(self.env, DBUS_SESSION_BUS_ADDRESS=self.address)
            env.pop("AT_SPI_BUS_ADDRESS", None)
            self._spawn([LAUNCHER, "--launch-immediately"], env=env, stdout=subprocess.DEVNULL)
            bus = dbus.bus.BusConnection(self.address)
            deadline = time.monotonic() + 10
            while not bus.name_has_owner("org.a11y.Bus"):
                if time.monotonic() >= deadline:
                    raise RuntimeError("the accessibility bus did not come up")
                time.sleep(0.05)
            launcher = bus.get_object("org.a11y.Bus", "/org/a11y/bus")
            self.a11y = dbus.bus.BusConnection(launcher.GetAddress(dbus_interface="org.a11y.Bus"))
            bus.close()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        if self.a11y:
            self.a11y.close()
            self.a11y = None
        # Each in its own process group, with the buses and the registry it started.
        for process in reversed(self.processes):
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except OSError:
                pass
            process.wait()
        self.processes = []

    def _spawn(self, command, **popen):
        popen.setdefault("env", self.env)
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True, **popen)
        self.processes.append(process)
        return process

    def app_env(self):
        return dict(DBUS_SESSION_BUS_ADDRESS=self.address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")

    def tree(self):
        """The whole desktop as it is now: applications, their windows and their widgets."""
        return self._node(*ROOT)

    def _node(self, name, path):
        remote = self.a11y.get_object(name, path, introspect=False)
        accessible = dbus.Interface(remote, ACCESSIBLE)
        low, high = accessible.GetState()
        bits = int(low) | int(high) << 32
        try:
            extents = tuple(map(int, remote.GetExtents(WINDOW_COORDINATES, dbus_interface="org.a11y.atspi.Component")))
        except dbus.DBusException:  # not a visible component: the desktop, an application
            extents = None
        role = str(accessible.GetRoleName())
        text = str(remote.GetText(0, -1, dbus_interface="org.a11y.atspi.Text")) if role == "text" else None
        return Node(role=role, text=text,
                    name=str(remote.Get(ACCESSIBLE, "Name", dbus_interface="org.freedesktop.DBus.Properties")),
                    states=frozenset(i for i in range(64) if bits >> i & 1), extents=extents,
                    children=tuple(self._node(*child) for child in accessible.GetChildren()))
