#!/usr/bin/env bash
# Makes the release from the commit checked out: builds the 32-bit and the 64-bit exes (presets mingw-i686 and
# mingw-x86_64) and writes dist/quorvel-VERSION-win32.zip, dist/quorvel-VERSION-win64.zip and dist/SHA256SUMS.
# Their bytes depend on the commit and the toolchain alone, so a download can be checked against a build.
# --check then builds the 64-bit exes once more, in a folder of their own, and fails unless they and their zip
# are byte for byte the ones in dist/.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
case "${1:-}" in
--check) check=1 ;;
"") ;;
*)
    echo "usage: scripts/package.sh [--check]" >&2
    exit 2
    ;;
esac

started=$SECONDS
jobs=$(nproc)

# build PRESET FOLDER: the two programs alone; the tests' helper programs go in no zip.
build() {
    cmake --preset "$1" -B "$2" >/dev/null
    cmake --build "$2" -j "$jobs" --target quorvel quorvel_console
}

# zip_of FOLDER ZIP: what a zip holds, in the order it holds it.
zip_of() {
    local exes="$1/mainwindow/win32"
    python3 scripts/makezip.py "$2" "$exes/quorvel.exe" "$exes/quorvel.com" README.md LICENSE THIRD-PARTY-NOTICES.txt
}

build mingw-i686 build/mingw-i686
build mingw-x86_64 build/mingw-x86_64
# The project's version, as CMake wrote it for the build.
version=$(sed -n 's/^#define QUORVEL_VERSION_TEXT "\(.*\)"$/\1/p' build/mingw-x86_64/generated/ProjectVersion.h)
[ -n "$version" ] || { echo "package.sh: error: no version in build/mingw-x86_64/generated/ProjectVersion.h" >&2; exit 1; }
rm -rf dist
mkdir dist
zip_of build/mingw-i686 "dist/quorvel-$version-win32.zip"
zip_of build/mingw-x86_64 "dist/quorvel-$version-win64.zip"
(cd dist && sha256sum "quorvel-$version-win32.zip" "quorvel-$version-win64.zip" >SHA256SUMS)
echo "package.sh: dist/ written in $((SECONDS - started)) s:"
cat dist/SHA256SUMS

if [ $check -eq 1 ]; then
    started=$SECONDS
    again=build/package-check-x86_64
    rm -rf "$again"
    build mingw-x86_64 "$again"
    zip_of "$again" "$again/quorvel-$version-win64.zip"
    status=0
    for exe in quorvel.exe quorvel.com; do
        cmp "build/mingw-x86_64/mainwindow/win32/$exe" "$again/mainwindow/win32/$exe" || status=1
    done
    cmp "dist/quorvel-$version-win64.zip" "$again/quorvel-$version-win64.zip" || status=1
    if [ $status -ne 0 ]; then
        echo "package.sh: error: a second build of the 64-bit exes gave other bytes (see above)" >&2
        exit 1
    fi
    echo "package.sh: a second build of the 64-bit exes, in $again, gave the same bytes ($((SECONDS - started)) s)"
fi
