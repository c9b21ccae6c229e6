#!/usr/bin/env bash
# Installs what is missing, builds Quorvel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release -j2
echo "The conversion core is built; the window comes with the next release."
