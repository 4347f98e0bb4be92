#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit exe and shows Quorvel under Wine
# beside a demo window holding a list box and a combo box.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 -j "$(nproc)"
exec python3 scripts/demo.py --build build/mingw-i686 --screenshot build/mingw-i686/demo-screenshot.png
