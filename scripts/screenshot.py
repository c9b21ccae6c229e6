#!/usr/bin/python3
"""Takes a screenshot of Quorvel's window in a private Xvfb server, optionally
after typing a colour and pressing the button: the Qt window, or with --wine
the Win32 window under Wine (in a throwaway prefix).

    scripts/screenshot.py OUTPUT.png [--convert R G B] [--build FOLDER]   (default: build/release)
    scripts/screenshot.py OUTPUT.png --wine [--convert R G B] [--build FOLDER]   (default: build/windows-x64)
"""
import argparse
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import targets  # noqa: E402
import xsession  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output", type=pathlib.Path)
    parser.add_argument("--convert", nargs=3, metavar=("R", "G", "B"))
    parser.add_argument("--wine", action="store_true", help="the Win32 window under Wine")
    parser.add_argument("--build", type=pathlib.Path)
    args = parser.parse_args()
    if args.wine:
        build = args.build or ROOT / "build" / "windows-x64"
        xsession.use_build_wine(build)
        target = targets.WineTarget(str(build / "app" / "Quorvel.exe"),
                                    str(build / "tests" / "win32" / "quorvel_probe.exe"))
    else:
        target = targets.QtTarget(str((args.build or ROOT / "build" / "release") / "app" / "quorvel"))
    with target.run(), target.start() as app:
        if args.convert:
            app.convert(*args.convert)
            app.face(tuple(map(int, args.convert)))  # waits for the new face
        else:
            app.face()
        app.session.screenshot(app.window, str(args.output.resolve()))
    print(f"wrote {args.output}")


if __name__ == "__main__":
    main()
