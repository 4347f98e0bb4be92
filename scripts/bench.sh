#!/usr/bin/env bash
# Builds the 32-bit Windows preset and benchmarks the list reader under Wine
# (list and combo boxes, list views, tree views); on a host that runs no
# 32-bit code, the 64-bit preset.
# Arguments go to benchmark/run_bench.py (e.g. --update-readme, --reps 3;
# a short run: --max-items 1000 --reps 1, or --parts views,trees).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
preset=$(python3 tests/e2e/winehost.py preset bench.sh)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
exec python3 benchmark/run_bench.py --build "build/$preset" "$@"
