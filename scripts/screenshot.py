#!/usr/bin/python3
"""Takes a screenshot of Quorvel's window in a private Xvfb server.

    scripts/screenshot.py OUTPUT.png [BUILD_FOLDER]     (default: build/release)
"""
import pathlib
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from xsession import XSession  # noqa: E402


def main():
    output = pathlib.Path(sys.argv[1]).resolve()
    build = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else ROOT / "build" / "release")
    with XSession(str(build / "app" / "quorvel")) as session:
        session.start()
        window = session.find_window("Quorvel")
        time.sleep(0.5)
        session.screenshot(window, str(output))
    print(f"wrote {output}")


if __name__ == "__main__":
    main()
