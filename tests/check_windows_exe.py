#!/usr/bin/env python3
"""Checks a built Quorvel.exe without running it: its size, what it imports,
its subsystem, the protections Windows gives it (ASLR, NX), and the resources
it carries (version, icon, manifest).

    check_windows_exe.py --objdump OBJDUMP --wrestool WRESTOOL --version 1.00.0001 --bits 64 Quorvel.exe

Prints one line per check and exits 1 if any failed."""

import argparse
import os
import pathlib
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

# Windows' own DLLs; with -static nothing of the compiler's runtime may show up.
ALLOWED_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "uxtheme.dll",
    "ole32.dll", "oleaut32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll",
}
# Functions Windows 7 does not have; the program looks them up at run time.
LOOKED_UP_AT_RUN_TIME = {
    "GetDpiForWindow", "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi",
    "SystemParametersInfoForDpi", "SetThreadDpiAwarenessContext",
}
# One self-contained exe of a few hundred KiB, whichever the bitness.
MAX_BYTES = 400 * 1024
WINDOWS_GUI = 2
PE_FORMAT = {32: "pei-i386", 64: "pei-x86-64"}

# DllCharacteristics bits Windows' protections need: (name, bit, bitnesses).
PROTECTIONS = [
    ("ASLR", 0x40, {32, 64}),                   # DYNAMIC_BASE: loaded at a random address
    ("high-entropy ASLR", 0x20, {64}),          # HIGH_ENTROPY_VA: anywhere in 64-bit space
    ("NX", 0x100, {32, 64}),                    # NX_COMPAT: its data is never run (DEP)
]

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
VERSION_BLOCK = "080404b0"  # Chinese (PRC), Unicode
CHINESE_PRC = 0x0804  # every resource's language, as the version block's
# The copyright line the Debian package ships.
DEBIAN_COPYRIGHT = pathlib.Path(__file__).resolve().parents[1] / "resources" / "debian" / "copyright"
SUPPORTED_OS = {
    "Windows 7": "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "Windows 10 and 11": "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"


class Exe:
    def __init__(self, path, objdump, wrestool):
        self.path, self.wrestool = path, wrestool
        self.headers = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout

    def resource(self, kind, name=None):
        command = [self.wrestool, "-x", "-R", f"--type={kind}"]
        if name is not None:
            command.append(f"--name={name}")
        return subprocess.run(command + [self.path], check=True, capture_output=True).stdout

    def languages(self):
        """{language ID} of every resource the exe carries."""
        listing = subprocess.run([self.wrestool, "-l", self.path], check=True, capture_output=True, text=True).stdout
        return {int(language) for language in re.findall(r"--language=(\d+)", listing)}

    def first_name(self, kind):
        listing = subprocess.run([self.wrestool, "-l", f"--type={kind}", self.path],
                                 check=True, capture_output=True, text=True).stdout
        names = sorted(int(name) for name in re.findall(r"--name=(\d+)", listing))
        return names[0] if names else None

    def imports(self):
        """{dll name in lower case: [function names]}"""
        table, dll = {}, None
        for line in self.headers.splitlines():
            named = re.match(r"\s*DLL Name: (\S+)", line)
            if named:
                dll = named.group(1).lower()
                table[dll] = []
            elif dll and re.match(r"\s+[0-9a-f]+\s+\d+\s+\w+$", line):
                table[dll].append(line.split()[-1])
        return table


def version_strings(data):
    """{block: {key: value}} from a VS_VERSIONINFO resource."""
    def key_at(offset):
        end = offset
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[offset:end].decode("utf-16-le"), (end + 2 + 3) & ~3

    def children(offset, end):
        while offset < end:
            length, value_length, kind = struct.unpack_from("<HHH", data, offset)
            if length == 0:
                return
            yield offset, length, value_length, kind
            offset = (offset + length + 3) & ~3

    blocks = {}
    length = struct.unpack_from("<H", data, 0)[0]
    _, value_offset = key_at(6)
    fixed_length = struct.unpack_from("<H", data, 2)[0]
    for offset, child_length, _, _ in children((value_offset + fixed_length + 3) & ~3, length):
        name, content = key_at(offset + 6)
        if name != "StringFileInfo":
            continue
        for table, table_length, _, _ in children(content, offset + child_length):
            block, strings = key_at(table + 6)
            blocks[block] = {}
            for string, string_length, value_chars, _ in children(strings, table + table_length):
                key, value_at = key_at(string + 6)
                value = data[value_at:value_at + 2 * value_chars].decode("utf-16-le").rstrip("\0")
                blocks[block][key] = value
    return blocks


def icon_sizes(group):
    """[(width, height, bits per pixel)] of a GRPICONDIR; 0 in the directory means 256."""
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    assert kind == 1, "not an icon group"
    sizes = []
    for i in range(count):
        width, height, colours, _, _, bits, _, _ = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        if bits == 0 and colours:  # older writers give the palette size instead
            bits = colours.bit_length() - 1
        sizes.append((width or 256, height or 256, bits))
    return sizes


def check_imports(exe, _):
    unexpected = sorted(set(exe.imports()) - ALLOWED_DLLS)
    return not unexpected, f"imports {', '.join(sorted(exe.imports()))}" + (
        f"; not Windows' own: {', '.join(unexpected)}" if unexpected else "")


def check_windows_7_imports(exe, _):
    imported = {function for functions in exe.imports().values() for function in functions}
    early = sorted(imported & LOOKED_UP_AT_RUN_TIME)
    return not early, "no import Windows 7 lacks" if not early else f"imports {', '.join(early)}"


def check_subsystem(exe, _):
    found = re.search(r"^Subsystem\s+([0-9a-f]+)", exe.headers, re.MULTILINE)
    subsystem = int(found.group(1), 16) if found else None
    return subsystem == WINDOWS_GUI, f"subsystem {subsystem}"


def check_bitness(exe, options):
    wanted = PE_FORMAT[options.bits]
    return f"file format {wanted}" in exe.headers, f"wanted {wanted}"


def protection_check(bit, bitnesses):
    def check(exe, options):
        if options.bits not in bitnesses:
            return True, f"not for {options.bits}-bit"
        found = re.search(r"^DllCharacteristics\s+([0-9a-f]+)", exe.headers, re.MULTILINE)
        flags = int(found.group(1), 16) if found else 0
        # Without relocations Windows cannot move the exe, whatever the flags say.
        relocations = re.search(r"^Entry 5 [0-9a-f]+ ([0-9a-f]+) Base Relocation Directory", exe.headers, re.MULTILINE)
        relocatable = bool(relocations and int(relocations.group(1), 16))
        return bool(flags & bit) and relocatable, f"DllCharacteristics {flags:#06x}" + (
            "" if relocatable else ", no relocations")
    return check


def check_version(exe, options):
    blocks = version_strings(exe.resource(RT_VERSION))
    strings = blocks.get(VERSION_BLOCK, {})
    wanted = {
        "FileVersion": options.version, "ProductVersion": options.version,
        "OriginalFilename": "Quorvel.exe", "ProductName": "Quorvel",
        "InternalName": "Quorvel", "Comments": "Quorvel", "FileDescription": "Quorvel",
        "LegalCopyright": "Copyright © " + re.search(r"^Copyright: (.+)$", DEBIAN_COPYRIGHT.read_text(), re.M)[1],
    }
    wrong = {key: strings.get(key) for key, value in wanted.items() if strings.get(key) != value}
    return not wrong, f"blocks {sorted(blocks)}" + (f"; wrong {wrong}" if wrong else "")


def check_icon(exe, _):
    first = exe.first_name(RT_GROUP_ICON)
    if first is None:
        return False, "no icon group"
    sizes = icon_sizes(exe.resource(RT_GROUP_ICON, first))
    has_small_256_colours = (16, 16, 8) in sizes
    larger = {width for width, _, _ in sizes if width > 16}
    # 20, 24 and 40 for the title bar and the taskbar at 125 % and 150 %.
    ok = first == 1 and has_small_256_colours and {20, 24, 32, 40, 48, 256} <= larger
    return ok, f"first group {first}: {sizes}"


def check_languages(exe, _):
    languages = exe.languages()
    return languages == {CHINESE_PRC}, f"languages {sorted(languages)}"


def check_manifest(exe, _):
    data = exe.resource(RT_MANIFEST, 1)
    if not data:
        return False, "no manifest 1"
    root = ElementTree.fromstring(data)
    controls = [identity.get("version") for identity in root.iter(ASM_V1 + "assemblyIdentity")
                if identity.get("name") == "Microsoft.Windows.Common-Controls"]
    aware = [element.text.strip().lower() for element in root.iter(SETTINGS_2005 + "dpiAware")]
    awareness = [element.text.replace(" ", "").lower().split(",") for element in root.iter(SETTINGS_2016 + "dpiAwareness")]
    systems = {element.get("Id") for element in root.iter(COMPATIBILITY + "supportedOS")}
    problems = []
    if controls != ["6.0.0.0"]:
        problems.append(f"common controls {controls}")
    if not aware or not aware[0].startswith("true"):
        problems.append(f"dpiAware {aware}")
    if not awareness or awareness[0][0] != "permonitorv2":
        problems.append(f"dpiAwareness {awareness}")
    problems += [f"no supportedOS for {name}" for name, guid in SUPPORTED_OS.items() if guid not in systems]
    return not problems, "; ".join(problems) or "common controls 6, per-monitor v2, Windows 7 to 11"


def check_size(exe, _):
    size = os.path.getsize(exe.path)
    return size <= MAX_BYTES, f"{size:,} bytes (at most {MAX_BYTES:,})"


CHECKS = [
    ("is small", check_size),
    ("imports only Windows' own DLLs", check_imports),
    ("starts on Windows 7", check_windows_7_imports),
    ("is a GUI program", check_subsystem),
    ("has the build's bitness", check_bitness),
    ("carries the version", check_version),
    ("has the icon first", check_icon),
    ("is Chinese (PRC) throughout", check_languages),
    ("has the manifest", check_manifest),
] + [(f"keeps {name}", protection_check(bit, bitnesses)) for name, bit, bitnesses in PROTECTIONS]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--wrestool", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--bits", type=int, choices=PE_FORMAT, required=True)
    parser.add_argument("exe")
    options = parser.parse_args()

    exe = Exe(options.exe, options.objdump, options.wrestool)
    failed = 0
    for name, check in CHECKS:
        try:
            ok, detail = check(exe, options)
        except Exception as error:  # a resource that is missing or malformed
            ok, detail = False, f"{type(error).__name__}: {error}"
        failed += not ok
        print(f"{'ok  ' if ok else 'FAIL'} {name}: {detail}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
