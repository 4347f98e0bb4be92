#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit exe and shows Quorvel under Wine
# beside a demo window holding a list box and a combo box. On a host that runs
# no 32-bit code it builds and shows the 64-bit exe instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
preset=mingw-i686
if ! python3 tests/e2e/winehost.py runs-32bit; then
    preset=mingw-x86_64
    echo "demo.sh: this host runs no 32-bit code, so the demo shows the 64-bit exe ($preset)"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
exec python3 scripts/demo.py --build "build/$preset" --screenshot "build/$preset/demo-screenshot.png"
