#!/usr/bin/env bash
# Installs what is missing, builds every target, makes the release zips and
# runs every test: the native unit tests, then the Windows builds' end-to-end
# tests under Wine.
# On a host that runs no 32-bit code the 32-bit exe's end-to-end suites are
# skipped (its static checks still run); if no end-to-end suite can run at
# all, the command fails rather than pass on unit tests alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Static checks first: a fault in a branch only some hosts run shows here on every host.
lint=0
scripts/lint.sh || lint=1

if ! python3 tests/e2e/winehost.py check-e2e; then
    echo "test.sh: error: the end-to-end tests cannot run on this host; see above" >&2
    exit 1
fi
if ! python3 tests/e2e/winehost.py runs-32bit; then
    echo "test.sh: this host runs no 32-bit code: the 32-bit exe's end-to-end suites will be skipped"
fi

jobs=$(nproc)
for preset in native sanitize mingw-i686 mingw-x86_64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
status=0
# The release zips, once, from the exes built above, which the static checks then compare with what the zips
# hold. Their reproducibility (scripts/package.sh --check, a second build of the 64-bit exes, about a minute
# and a half on two cores) is left to the release: the command's 15 minutes are spent on the suites.
scripts/package.sh || status=1
rm -rf build/*/figures
for preset in native sanitize; do
    ctest --preset "$preset" -j "$jobs" || status=1
done
# The two exes' end-to-end suites run side by side: every suite has a display
# and a Wine prefix of its own, and spends most of its time waiting on Wine.
echo "test.sh: the end-to-end suites of both exes, side by side (logs: build/mingw-*/ctest.log)"
pids=()
for preset in mingw-i686 mingw-x86_64; do
    ctest --preset "$preset" >"build/$preset/ctest.log" 2>&1 &
    pids+=($!)
done
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done
cat build/mingw-i686/ctest.log build/mingw-x86_64/ctest.log
python3 scripts/summary.py build || true
[ $lint -eq 0 ] || echo "test.sh: error: the static checks (scripts/lint.sh) found faults" >&2
[ $lint -eq 0 ] || status=1
exit $status
