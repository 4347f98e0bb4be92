#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test: the
# native unit tests, then the Windows builds' end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
for preset in native sanitize mingw-i686 mingw-x86_64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
status=0
rm -rf build/*/figures
for preset in native sanitize mingw-i686 mingw-x86_64; do
    ctest --preset "$preset" || status=1
done
python3 scripts/summary.py build || true
exit $status
