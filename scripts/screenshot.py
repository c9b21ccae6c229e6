#!/usr/bin/python3
"""Takes a screenshot of Quorvel's window in a private Xvfb server, optionally
after typing a colour and pressing the button.

    scripts/screenshot.py OUTPUT.png [--convert R G B] [--build FOLDER]   (default: build/release)
"""
import argparse
import pathlib
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from xsession import XSession  # noqa: E402



def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output", type=pathlib.Path)
    parser.add_argument("--convert", nargs=3, metavar=("R", "G", "B"))
    parser.add_argument("--build", type=pathlib.Path, default=ROOT / "build" / "release")
    args = parser.parse_args()
    with XSession(str(args.build / "app" / "quorvel")) as session:
        session.start()
        window = session.find_window("Quorvel")
        if args.convert:
            session.convert(window, *args.convert)
        time.sleep(0.5)
        session.screenshot(window, str(args.output.resolve()))
    print(f"wrote {args.output}")


if __name__ == "__main__":
    main()
