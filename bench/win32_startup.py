#!/usr/bin/python3
"""Start-up time of Quorvel.exe under Wine beside its floor, a bare Win32
window of the same size built with the same flags (win32_minimal_window.exe),
in one Xvfb server and one Wine prefix, runs alternating.

A second floor, the same bare window holding Form1's fifteen controls under
Quorvel.exe's manifest and nothing else (win32_form1_controls.exe), tells what
the controls themselves cost apart from what Quorvel does with them.

Time is from exec of `wine PROGRAM` to the window's MapNotify, with the Wine
server already running (a first, cold start of each is left out).

    bench/win32_startup.py [BUILD_FOLDER] [RUNS]    (default: build/windows-x64 20)
"""
import os
import pathlib
import select
import statistics
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from Xlib import X  # noqa: E402
from wine import Prefix  # noqa: E402
from xsession import XSession  # noqa: E402

TARGET_RATIO = 1.2
MAP_TIMEOUT = 30.0


def time_to_map(session, env, program, title):
    root = session.x.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    session.x.sync()
    started = time.monotonic()
    app = session.start(["wine", program], env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = None
    while window is None:
        if not session.x.pending_events():
            waited = time.monotonic() - started
            if waited >= MAP_TIMEOUT:
                app.kill()
                raise RuntimeError(f"{program} showed no window in {MAP_TIMEOUT:.0f} s (exit status {app.wait()})")
            select.select([session.x.fileno()], [], [], MAP_TIMEOUT - waited)
            continue
        ev = session.x.next_event()
        if ev.type == X.MapNotify:
            try:
                if session.title(ev.window) == title:
                    mapped = time.monotonic() - started
                    window = ev.window
            except Exception:  # a window that went away as soon as it showed
                pass
    root.change_attributes(event_mask=0)
    session.close(window)
    if app.wait(timeout=10) != 0:
        raise RuntimeError(f"{program} did not end cleanly")
    return mapped


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build/windows-x64").resolve()
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    programs = {"Quorvel.exe": (str(build / "app" / "Quorvel.exe"), "Quorvel"),
                "minimal": (str(build / "bench" / "win32_minimal_window.exe"), "Minimal"),
                "controls": (str(build / "bench" / "win32_form1_controls.exe"), "Controls")}
    results = {name: [] for name in programs}
    with XSession() as session, Prefix(build) as prefix:
        env = dict(prefix.env, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        # A server that stays up between runs, as on a desktop where Wine already runs.
        server = subprocess.Popen(["wineserver", "-f", "-p"], env=dict(session.env, **env))
        try:
            for name, (program, title) in programs.items():
                time_to_map(session, env, program, title)  # the cold start, not counted
            for _ in range(runs):
                for name, (program, title) in programs.items():
                    results[name].append(time_to_map(session, env, program, title))
        finally:
            prefix.stop()
            server.wait()

    print(f"{runs} runs each under Wine, warm server, medians:")
    medians = {name: statistics.median(samples) for name, samples in results.items()}
    for name, seconds in medians.items():
        spread = statistics.quantiles(results[name], n=4) if runs >= 4 else (seconds, seconds)
        print(f"  {name:12} {seconds * 1000:7.1f} ms to map   (quartiles {spread[0] * 1000:.1f}-{spread[-1] * 1000:.1f} ms)")
    ratio = medians["Quorvel.exe"] / medians["minimal"]
    verdict = "within" if ratio <= TARGET_RATIO else "over"
    print(f"  Quorvel.exe / minimal: {ratio:.2f}x the time ({verdict} the {TARGET_RATIO}x target)")
    print(f"  controls / minimal:    {medians['controls'] / medians['minimal']:.2f}x (the fifteen controls alone)")
    print(f"  Quorvel.exe / controls: {medians['Quorvel.exe'] / medians['controls']:.2f}x (what Quorvel adds to them)")


if __name__ == "__main__":
    os.chdir(pathlib.Path(__file__).resolve().parent.parent)
    main()
