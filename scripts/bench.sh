#!/usr/bin/env bash
# Builds the 32-bit Windows preset and benchmarks the list reader under Wine.
# Arguments go to benchmark/run_bench.py (e.g. --update-readme, --reps 3).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 -j "$(nproc)"
exec python3 benchmark/run_bench.py --build build/mingw-i686 "$@"
