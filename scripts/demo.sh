#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit exe and shows Quorvel under Wine
# beside a demo window holding a list box and a combo box. On a host that runs
# no 32-bit code it builds and shows the 64-bit exe instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
preset=$(python3 tests/e2e/winehost.py preset demo.sh)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
exec python3 scripts/demo.py --build "build/$preset" --screenshot "build/$preset/demo-screenshot.png"
