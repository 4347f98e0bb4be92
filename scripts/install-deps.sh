#!/usr/bin/env bash
# Installs what building and testing Quorvel needs on Debian 12, skipping
# what is already there. Copes with a package index caught mid-sync: a failed
# index only warns, and an install that fails on version skew between the
# security suite's amd64 libraries and the release's i386 twins is tried once
# more with every package from the release itself.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libgmock-dev python3
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick
          fonts-wine fonts-wqy-microhei
          clang libclang-rt-14-dev
          python3-pyflakes shellcheck)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
if ! $sudo apt-get update -q; then
    echo "install-deps: warning: apt-get update failed for some index; going on with the lists it has" >&2
fi

install() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@" "${missing[@]}"
}
install && exit 0

# The security suite may carry a newer amd64 library whose i386 twin is only in
# the release; Multi-Arch: same packages must match, so take the release's.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ -n "$codename" ]; then
    echo "install-deps: install failed; trying once more with every package from the release ($codename)"
    install -t "$codename" && exit 0
fi
echo "install-deps: error: could not install: ${missing[*]}" >&2
exit 1
