"""The exe is linked statically: it may import only DLLs every Windows has."""

import argparse
import re
import subprocess
import sys
import unittest

ALLOWED = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll", "advapi32.dll"}
ARGS = None


def imported_dlls(objdump, exe):
    out = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    return [m.group(1) for m in re.finditer(r"^\s*DLL Name:\s*(\S+)", out, re.MULTILINE)]


class ImportsTest(unittest.TestCase):
    def test_imports_only_system_dlls(self):
        dlls = imported_dlls(ARGS.objdump, ARGS.exe)
        self.assertIn("user32.dll", [d.lower() for d in dlls])
        unexpected = [d for d in dlls if d.lower() not in ALLOWED]
        self.assertEqual(unexpected, [], f"imports beyond the system DLLs: {dlls}")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--exe", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest])
