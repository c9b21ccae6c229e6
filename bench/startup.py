#!/usr/bin/python3
"""Start-up time and memory of quorvel beside its floors, in one Xvfb server,
runs alternating: an empty Qt Widgets window of the same size; the same window
with one label (which loads the font database, as any text does); and the
same window holding Form1's fifteen widgets, placed and lettered from the
design, and nothing else (minimal_window --form1), the floor Quorvel is held to.

Time is from exec to the window's MapNotify; memory is the resident set half a
second after the window shows.

    bench/startup.py [BUILD_FOLDER] [RUNS]    (default: build/release 20)
"""
import os
import pathlib
import statistics
import sys
import time

TARGET_RATIO = 1.10
TARGET_EXTRA_MIB = 0.5

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from Xlib import X  # noqa: E402
from xsession import XSession  # noqa: E402


def time_to_map(session, command, title):
    root = session.x.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    session.x.sync()
    started = time.monotonic()
    app = session.start(command)
    while True:
        ev = session.x.next_event()
        if ev.type == X.MapNotify and ev.window.get_wm_name() == title:
            mapped = time.monotonic() - started
            window = ev.window
            break
    time.sleep(0.5)
    with open(f"/proc/{app.pid}/status") as status:
        rss_kib = next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
    session.close(window)
    app.wait(timeout=5)
    root.change_attributes(event_mask=0)
    return mapped, rss_kib


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build/release")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    minimal = str(build / "bench" / "minimal_window")
    programs = {"quorvel": ([str(build / "app" / "quorvel")], "Quorvel"),
                "minimal": ([minimal], "Minimal"),
                "text": ([minimal, "--text"], "Minimal"),
                "form1": ([minimal, "--form1"], "Minimal")}
    results = {name: [] for name in programs}
    with XSession() as session:
        for _ in range(runs):
            for name, (command, title) in programs.items():
                results[name].append(time_to_map(session, command, title))

    print(f"{runs} runs each, medians:")
    summary = {}
    for name, samples in results.items():
        times = [s for s, _ in samples]
        seconds, rss = statistics.median(times), statistics.median(r for _, r in samples) / 1024
        spread = statistics.quantiles(times, n=4) if runs >= 4 else (seconds, seconds)
        summary[name] = (seconds, rss)
        print(f"  {name:8} {seconds * 1000:7.1f} ms to map (quartiles {spread[0] * 1000:.1f}-{spread[-1] * 1000:.1f} ms)"
              f"   {rss:6.1f} MiB resident")
    for floor in ("minimal", "text", "form1"):
        time_ratio = summary["quorvel"][0] / summary[floor][0]
        extra_memory = summary["quorvel"][1] - summary[floor][1]
        print(f"  quorvel / {floor}: {time_ratio:.2f}x the time, {extra_memory:+.2f} MiB")
    within = summary["quorvel"][0] / summary["form1"][0] <= TARGET_RATIO and \
        summary["quorvel"][1] - summary["form1"][1] <= TARGET_EXTRA_MIB
    print(f"  against the fifteen widgets: {'within' if within else 'over'} {TARGET_RATIO}x and "
          f"+{TARGET_EXTRA_MIB} MiB")


if __name__ == "__main__":
    os.chdir(pathlib.Path(__file__).resolve().parent.parent)
    main()
