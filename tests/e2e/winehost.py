#!/usr/bin/env python3
"""What this host can run under Wine: whether it runs 32-bit code, and which Wine loader starts everything.

Debian's /usr/bin/wine picks the 32-bit loader whenever wine32 is installed, for 64-bit exes too, and so do
wineboot, regedit and the other tools in /usr/bin. On a kernel without 32-bit support that loader fails with
"Exec format error" and only the 64-bit one works, so every Wine start goes through loader(), and Wine's tools
are started as `<loader> wineboot ...`.

As a command, for the scripts:
  winehost.py                 says which loader is used and whether the host runs 32-bit code
  winehost.py runs-32bit      exits 0 if it does, 1 if not
  winehost.py check-e2e       exits 1, saying why, if no end-to-end suite can run here
  winehost.py preset WHO      prints the Windows preset to run here: the 32-bit one, or the 64-bit one
                              on a host that runs no 32-bit code, which WHO then says in one line
"""

import functools
import os
import shutil
import subprocess
import sys

WINE32 = "/usr/lib/wine/wine"
WINE64 = "/usr/lib/wine/wine64"
NO_32BIT = "host runs no 32-bit code"
# What a suite exits with when this host cannot run it; ctest counts it as skipped.
SKIP_CODE = 77


def answers(loader):
    """Whether the loader starts and reports its version."""
    try:
        r = subprocess.run([loader, "--version"], stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    except (OSError, subprocess.TimeoutExpired):
        return False
    return r.returncode == 0 and r.stdout.startswith(b"wine-")


@functools.lru_cache(maxsize=None)
def runs_32bit():
    """Whether 32-bit Windows code runs here: the 32-bit loader is a 32-bit Linux program."""
    return answers(WINE32)


@functools.lru_cache(maxsize=None)
def loader():
    """The Wine loader every start goes through: the 32-bit one where it runs (it hands 64-bit exes on to the
    64-bit one itself), else the 64-bit one."""
    candidates = [WINE32, WINE64] if runs_32bit() else [WINE64, shutil.which("wine64") or ""]
    for path in candidates:
        if path and answers(path):
            return path
    raise RuntimeError(f"no Wine loader answers --version (tried {WINE32} and {WINE64}); is wine64 installed?")


def loader_env(env):
    """env with what the chosen loader needs; like /usr/bin/wine, it names the 64-bit loader for the processes
    Wine starts itself when only that one works."""
    if not runs_32bit():
        env["WINELOADER"] = loader()
    return env


def e2e_blockers():
    """Why no end-to-end suite can run here, or an empty list if they can."""
    blockers = []
    try:
        loader()
    except RuntimeError as e:
        blockers.append(str(e))
    if not shutil.which("Xvfb"):
        blockers.append("no Xvfb (package xvfb) for the virtual display")
    else:
        import harness  # the display is the harness's own; imported here so the harness can import this module

        try:
            harness.Display(os.devnull).close()
        except (OSError, RuntimeError, TimeoutError) as e:
            blockers.append(f"Xvfb does not start: {e}")
    return blockers


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "runs-32bit":
        return 0 if runs_32bit() else 1
    if command == "check-e2e":
        blockers = e2e_blockers()
        for b in blockers:
            print(f"no end-to-end suite can run: {b}", file=sys.stderr)
        return 1 if blockers else 0
    if command == "preset" and len(argv) > 2:
        if runs_32bit():
            print("mingw-i686")
        else:
            print("mingw-x86_64")
            print(f"{argv[2]}: this host runs no 32-bit code, so it uses the 64-bit exe (mingw-x86_64)",
                  file=sys.stderr)
        return 0
    if command:
        print(__doc__, file=sys.stderr)
        return 2
    print(f"32-bit code: {'runs' if runs_32bit() else 'no (' + NO_32BIT + ')'}")
    try:
        print(f"Wine loader: {loader()}")
    except RuntimeError as e:
        print(f"Wine loader: none: {e}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
