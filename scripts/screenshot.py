#!/usr/bin/python3
"""Takes a screenshot of Quorvel's window in a private Xvfb server, optionally
after typing a colour and pressing the button, or of the box that pressing it
with nothing typed brings up (--box, with its title bar under Wine): the Qt
window, or with --wine the Win32 window under Wine (in a throwaway prefix), in
a language and at a dpi.

    scripts/screenshot.py OUTPUT.png [--convert R G B | --box] [--language C|zh_CN] [--dpi 96|192]
                          [--wine] [--build FOLDER]   (default: build/release, or build/windows-x64)
"""
import argparse
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import targets  # noqa: E402
from xsession import XSession  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output", type=pathlib.Path)
    parser.add_argument("--convert", nargs=3, metavar=("R", "G", "B"))
    parser.add_argument("--box", action="store_true", help="the box that 转 brings up with nothing typed")
    parser.add_argument("--language", choices=["C", "zh_CN"], default="C")
    parser.add_argument("--dpi", type=int, default=96)
    parser.add_argument("--wine", action="store_true", help="the Win32 window under Wine")
    parser.add_argument("--build", type=pathlib.Path)
    args = parser.parse_args()
    window = "wine64" if args.wine else "qt"
    build = args.build or ROOT / "build" / ("windows-x64" if args.wine else "release")
    with targets.TARGETS[window](window, build) as target, XSession() as session, \
            target.start(session, language=args.language, dpi=args.dpi) as app:
        if args.box:
            app.click("Command1")
            box = app.find_box()
            shot = ["-window", str(box.id)]
        else:
            if args.convert:
                app.convert(*args.convert)
                app.face(tuple(map(int, args.convert)))  # waits for the new face
            else:
                app.face()
            x, y, width, height = app.client
            shot = ["-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage"]
        subprocess.run(["import", *shot, str(args.output.resolve())], env=session.env, check=True)
        if args.box:
            app.dismiss_box(box)
    print(f"wrote {args.output}")


if __name__ == "__main__":
    main()
