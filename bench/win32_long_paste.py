#!/usr/bin/python3
"""The largest paste an input takes, timed in Quorvel.exe's real window under
Wine (win32_long_paste.exe), in its own Xvfb server and Wine prefix. The Qt
window's counterpart is quorvel_paste_bench.

    bench/win32_long_paste.py [BUILD_FOLDER] [CHARACTERS] [RUNS]
        (default: build/windows-x64, the input limit, 5)
"""
import os
import pathlib
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from wine import Prefix  # noqa: E402
from xsession import XSession  # noqa: E402


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build/windows-x64").resolve()
    program = build / "bench" / "win32_long_paste.exe"
    with XSession() as session, Prefix(build) as prefix:
        env = dict(session.env, **prefix.env, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        status = subprocess.run(["wine", str(program), *sys.argv[2:4]], env=env).returncode
    sys.exit(status)


if __name__ == "__main__":
    os.chdir(pathlib.Path(__file__).resolve().parent.parent)
    main()
