#!/usr/bin/env bash
# Installs what is missing, builds Quorvel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release -j2

if [[ "$(uname -s)" == Linux && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat >&2 <<'MESSAGE'
Quorvel is built (build/release/app/quorvel), but no display was found to show
its window: neither DISPLAY nor WAYLAND_DISPLAY is set.
- On a desktop (X11 or Wayland), run this command from a terminal inside your
  desktop session.
- Over SSH, connect with X forwarding: ssh -X host
- xvfb-run -a scripts/run.sh starts it on an invisible virtual screen: nobody
  can see or use the window there, so that is only useful for tests and
  screenshots (scripts/screenshot.py).
MESSAGE
    exit 1
fi
exec build/release/app/quorvel
