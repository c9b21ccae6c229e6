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
- On a desktop, run this command from a terminal inside your desktop session.
- Over SSH, connect with X forwarding: ssh -X host
- On a machine without a screen, start a virtual one (apt-get install xvfb):
    xvfb-run -a scripts/run.sh
MESSAGE
    exit 1
fi
exec build/release/app/quorvel
