"""Wine as the tests run it: the build's Wine, the one way to make a prefix
(for the end-to-end runs, and for ctest's `wine` fixture that the other tests
under Wine use) with its settings, and the reader of Wine's font trace.

    wine.py create|remove BUILD_FOLDER PREFIX [WINE]
"""
import contextlib
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile

import layout
from xsession import wait_until

LOCALES = {"C": "C.UTF-8", "zh_CN": "zh_CN.UTF-8"}
# The faces Windows ships, as a Windows user's system supplies them, each stood in for by a free face here.
FONT_SUBSTITUTES = {**dict.fromkeys(["楷体_GB2312", "KaiTi_GB2312", "楷体", "KaiTi"], "AR PL UKai CN"),
                    **dict.fromkeys(["宋体", "SimSun", "新宋体", "NSimSun"], "AR PL UMing CN"),
                    **dict.fromkeys(["微软雅黑", "Microsoft YaHei", "Microsoft YaHei UI"], "WenQuanYi Micro Hei"),
                    "Times New Roman": "Liberation Serif", "Segoe UI": "Tahoma"}
# Font files in Windows' Fonts folder: Wine's own Tahoma and Marlett (fonts-wine), and the
# stand-ins under the names Windows' font links give.
FONT_FILES = {"tahoma.ttf": "/usr/share/wine/fonts/tahoma.ttf", "tahomabd.ttf": "/usr/share/wine/fonts/tahomabd.ttf",
              "marlett.ttf": "/usr/share/wine/fonts/marlett.ttf",
              "SIMSUN.TTC": "/usr/share/fonts/truetype/arphic/uming.ttc",
              "MSYH.TTC": "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"}
# As Windows links its Latin interface faces to Chinese ones for the characters they lack.
SYSTEM_LINKS = dict.fromkeys(["Tahoma", "Segoe UI", "Microsoft Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2"],
                             ["MSYH.TTC,Microsoft YaHei UI", "SIMSUN.TTC,SimSun"])
DESIGNED_FACES = {face for font in layout.FONTS.values() for face in (font.face, *font.fallbacks)}


def registry_file(dpi=96, comma=False, substitutes=True):
    """The prefix's settings as a .reg file: no window manager runs, the screen's dpi (Xvfb's does
    not reach Wine), the decimal separator, and the faces Windows ships; without `substitutes`
    no stand-ins for the designed faces, as on a Windows that has none of them."""
    def value(data):  # .reg's form of a dword, a string, a multi-string; None deletes the value
        if data is None or isinstance(data, (int, str)):
            return "-" if data is None else f"dword:{data:08x}" if isinstance(data, int) else f'"{data}"'
        return "hex(7):" + ",".join(f"{byte:02x}" for byte in ("\0".join(data) + "\0\0").encode("utf-16-le"))
    fonts = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion"
    keys = {r"HKEY_CURRENT_USER\Software\Wine\X11 Driver": {"Managed": "N"},
            r"HKEY_CURRENT_USER\Control Panel\Desktop": {"LogPixels": dpi},
            r"HKEY_CURRENT_USER\Control Panel\International": {"sDecimal": "," if comma else "."},
            fonts + r"\FontSubstitutes": {name: face if substitutes or name not in DESIGNED_FACES else None
                                          for name, face in FONT_SUBSTITUTES.items()},
            fonts + r"\FontLink\SystemLink": SYSTEM_LINKS}
    lines = ["Windows Registry Editor Version 5.00"]
    for key, values in keys.items():
        lines += ["", f"[{key}]", *(f'"{name}"={value(data)}' for name, data in values.items())]
    return b"\xff\xfe" + "\r\n".join(lines + [""]).encode("utf-16-le")


class Unavailable(Exception):  # the Wine cannot run here (those of the chroots need them, and root)
    pass


def environment_file(build, wine):
    """The settings the build folder's tests run `wine` with: its own Wine's (wine64 or wine32),
    or those of the WoW64 Wine that also runs a 32-bit build's tests."""
    return pathlib.Path(build) / ("wine-environment_wow64.txt" if wine == "wow64" else "wine-environment.txt")


class Prefix:
    """A prefix in `folder` (else a temporary one that goes with it), with HOME and the XDG
    folders inside, run by that Wine of the build folder's tests, with its settings."""

    def __init__(self, build, folder=None, wine=None):
        self.temporary = folder is None
        self.folder = pathlib.Path(folder or tempfile.mkdtemp(prefix="quorvel-wine-")).resolve()
        home = self.folder / "home"
        self.env = dict(WINEPREFIX=str(self.folder), HOME=str(home), XDG_CONFIG_HOME=str(home / ".config"),
                        XDG_DATA_HOME=str(home / ".local/share"), XDG_CACHE_HOME=str(home / ".cache"),
                        PATH=os.environ["PATH"])
        for line in environment_file(build, wine).read_text().splitlines():
            name, _, value = line.partition("=")
            if name == "PATH+":
                self.env["PATH"] = value + os.pathsep + self.env["PATH"]
            elif name:
                self.env[name] = value
        self.written = None

    def __enter__(self):
        """Made if it is not there yet, else given the default settings again."""
        try:
            self.configure() if (self.folder / "system.reg").exists() else self.create()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        self.remove() if self.temporary else self.stop()

    def run(self, command, locale="C.UTF-8", env=None, check=True, timeout=180, **popen):
        """Runs a Wine command in the prefix, on the display of `env` if given.
        Raises Unavailable, with the reason, where this Wine cannot run."""
        base = env or {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "DISPLAY", "LC_", "LANG"))}
        popen.setdefault("stdout", subprocess.DEVNULL)
        result = subprocess.run(command, env=dict(base, **self.env, LANG=locale, LC_ALL=locale),
                                stderr=subprocess.PIPE, timeout=timeout, **popen)
        if result.returncode == 77:
            raise Unavailable(result.stderr.decode(errors="replace").strip())
        if check and result.returncode != 0:
            raise RuntimeError(f"{command} failed ({result.returncode}): {result.stderr[-2000:]!r}")
        return result

    def create(self):
        for sub in (".config", ".local/share", ".cache"):
            (self.folder / "home" / sub).mkdir(parents=True, exist_ok=True)
        self.run(["wineboot", "-i"])
        for name, target in FONT_FILES.items():
            (self.folder / "drive_c" / "windows" / "Fonts" / name).symlink_to(target)
        self.configure()

    def configure(self, language="C", dpi=96, comma=False, substitutes=True):
        """Gives the registry these settings, if it has not got them yet, and ends the Wine
        server, so that the next program starts with them. Wine rewrites the user's locale
        settings when it starts in another locale than last time: a comma is set again in each."""
        wanted = (language if comma else None, dpi, comma, substitutes)
        if wanted != self.written:
            (self.folder / "settings.reg").write_bytes(registry_file(dpi, comma, substitutes))
            self.run(["wine", "regedit", "/S", str(self.folder / "settings.reg")], LOCALES[language])
            self.written = wanted
        self.stop()

    def stop(self):
        """Ends the prefix's Wine server and every Wine process of the prefix; the prefix stays."""
        self.run(["wineserver", "-k"], check=False, timeout=30)
        # Wine's helpers (services.exe, winedevice.exe ...) are orphans that nothing else would end.
        def none_left():
            found = [int(entry.name) for entry in pathlib.Path("/proc").glob("[0-9]*")
                     if self.runs(entry) and int(entry.name) != os.getpid()]
            for pid in found:
                with contextlib.suppress(OSError):
                    os.kill(pid, signal.SIGKILL)
            return not found
        wait_until("Wine's processes to end", none_left, 5.0, interval=0.1)

    def runs(self, process):
        try:
            return f"WINEPREFIX={self.folder}".encode() in (process / "environ").read_bytes().split(b"\0")
        except OSError:  # gone, or not ours to read
            return False

    def remove(self):
        try:
            self.stop()
        finally:
            shutil.rmtree(self.folder, ignore_errors=True)


SELECT_FONT = re.compile(r'^([0-9a-f]+):.*font_SelectFont L"((?:[^"\\]|\\.)*)", '
                         r'(h=(-?\d+), it=\d+, weight=(\d+), PandF=[0-9a-f]+, charset=\d+)')
CHOSEN = re.compile(r'^([0-9a-f]+):.*select_font Chosen: L"((?:[^"\\]|\\.)*)"')


def faces_tried(trace, font, dpi):
    """[(face asked for, face chosen, or None if chosen before)] from a WINEDEBUG=+font trace, each
    once, in the order first asked, of the program's requests for the font and its fallbacks: the
    designed face's request but for the face. Wine's own (Marlett for the caption's buttons, at
    the same size but in the symbol character set) are not among them."""
    def unescape(text):  # Wine writes a character outside ASCII as a backslash and four hex digits
        return re.sub(r"\\([0-9a-fA-F]{4})", lambda m: chr(int(m[1], 16)), text)
    designed = (font.face, layout.font_height(font, dpi), font.weight)
    tried, asked, program_request = {}, {}, None
    for line in trace.splitlines():
        if selected := SELECT_FONT.search(line):
            thread, face, request = selected[1], unescape(selected[2]), selected[3]
            if program_request is None and (face, int(selected[4]), int(selected[5])) == designed:
                program_request = request
            asked[thread] = face if request == program_request else None
            if asked[thread]:
                tried.setdefault(face, None)
        elif (chosen := CHOSEN.search(line)) and asked.get(chosen[1]) and tried[asked[chosen[1]]] is None:
            tried[asked[chosen[1]]] = unescape(chosen[2])
    return list(tried.items())


if __name__ == "__main__":
    action, build, folder, *wine = sys.argv[1:]
    try:
        prefix = Prefix(build, folder, *wine)
        if action == "create":
            shutil.rmtree(folder, ignore_errors=True)  # whatever a run stopped midway left
            prefix.create()
        else:
            prefix.remove()
    except Unavailable as missing:
        print(missing, file=sys.stderr)
        sys.exit(77)
