"""What can be checked in the exe without running it: its imports, machine, size and resources; and in its console
twin quorvel.com, its imports, machine and size; and the release zip that holds the two."""

import argparse
import hashlib
import os
import re
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import peimage  # noqa: E402

ALLOWED = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll", "advapi32.dll", "oleacc.dll",
           "ole32.dll", "oleaut32.dll"}
MAX_SIZE = 1 << 20
ASM_V1, ASM_V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
WINDOWS_SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
ARGS = None


def imported_dlls(objdump, exe):
    out = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    return [m.group(1) for m in re.finditer(r"^\s*DLL Name:\s*(\S+)", out, re.MULTILINE)]


def of_type(resources, kind):
    """{(name, language): bytes} of one resource type."""
    return {key[1:]: data for key, data in resources.items() if key[0] == kind}


class StaticTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resources = peimage.resources(ARGS.exe)

    def test_imports_only_system_dlls(self):
        # Both are linked statically: they may import only DLLs every Windows has.
        for program in (ARGS.exe, ARGS.com):
            with self.subTest(program=program):
                dlls = [d.lower() for d in imported_dlls(ARGS.objdump, program)]
                self.assertIn("user32.dll", dlls)
                unexpected = [d for d in dlls if d not in ALLOWED]
                self.assertEqual(unexpected, [], f"imports beyond the system DLLs: {dlls}")
        # The console twin holds no window code, so it needs no common controls.
        self.assertNotIn("comctl32.dll", [d.lower() for d in imported_dlls(ARGS.objdump, ARGS.com)])

    def test_machine_matches_the_build_and_every_address_is_usable(self):
        want = peimage.I386 if ARGS.bits == "32" else peimage.AMD64
        for program in (ARGS.exe, ARGS.com):
            self.assertEqual(peimage.machine(program), want, program)
            # A 32-bit exe gets 4 GB on 64-bit Windows, not 2, for the rows of a huge list.
            self.assertTrue(peimage.characteristics(program) & peimage.LARGE_ADDRESS_AWARE, program)

    def test_window_and_console_subsystems(self):
        # cmd waits for a console program and hands it the console; a double-click on the exe opens no console.
        self.assertEqual(peimage.subsystem(ARGS.exe), peimage.WINDOWS_GUI)
        self.assertEqual(peimage.subsystem(ARGS.com), peimage.WINDOWS_CUI)

    def test_size_at_most_one_mebibyte(self):
        for program in (ARGS.exe, ARGS.com):
            self.assertLessEqual(os.path.getsize(program), MAX_SIZE, program)

    def test_version_record(self):
        records = of_type(self.resources, peimage.RT_VERSION)
        self.assertEqual(len(records), 1, list(records))
        key, fixed, children = peimage.version_tree(next(iter(records.values())))
        self.assertEqual(key, "VS_VERSION_INFO")
        signature, _, ms, ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        major, minor = (int(n) for n in ARGS.version.split("."))
        self.assertEqual((ms, ls, product_ms, product_ls), (major << 16 | minor, 0, major << 16 | minor, 0))
        blocks = {k: c for k, _, c in children}
        tables = {k.lower(): {name: text for name, text, _ in c} for k, _, c in blocks["StringFileInfo"]}
        self.assertEqual(list(tables), ["040904b0"])
        strings = tables["040904b0"]
        self.assertEqual(strings.get("FileVersion"), ARGS.version)
        self.assertEqual(strings.get("ProductVersion"), ARGS.version)
        variables = {k: v for k, v, _ in blocks["VarFileInfo"]}
        self.assertEqual(struct.unpack("<HH", variables["Translation"]), (0x0409, 1200))

    def test_icon_group_of_32_and_16_pixels_in_16_colours(self):
        groups = of_type(self.resources, peimage.RT_GROUP_ICON)
        self.assertEqual(len(groups), 1, list(groups))
        group = next(iter(groups.values()))
        reserved, kind, count = struct.unpack_from("<HHH", group)
        self.assertEqual((reserved, kind), (0, 1))
        icons = {name: data for (name, _), data in of_type(self.resources, peimage.RT_ICON).items()}
        sizes = []
        for i in range(count):
            w, h, colours, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            sizes.append((w, h))
            with self.subTest(size=(w, h)):
                self.assertEqual((colours, bits), (16, 4))
                self.assertIn(icon_id, icons)
                self.assertEqual(len(icons[icon_id]), size)
                header_size, bmp_w, bmp_h, _, bmp_bits = struct.unpack_from("<IiiHH", icons[icon_id])
                # The bitmap's height counts the colour image and the mask.
                self.assertEqual((header_size, bmp_w, bmp_h, bmp_bits), (40, w, 2 * h, 4))
        self.assertEqual(sorted(sizes), [(16, 16), (32, 32)])

    def test_manifest(self):
        manifests = of_type(self.resources, peimage.RT_MANIFEST)
        self.assertEqual([name for name, _ in manifests], [1])
        root = ET.fromstring(next(iter(manifests.values())))
        controls = [e.attrib for e in root.iter(ASM_V1 + "assemblyIdentity")
                    if e.get("name") == "Microsoft.Windows.Common-Controls"]
        self.assertEqual([c.get("version") for c in controls], ["6.0.0.0"])
        level = next(root.iter(ASM_V3 + "requestedExecutionLevel"))
        self.assertEqual(level.get("level"), "asInvoker")
        self.assertEqual(next(root.iter(WINDOWS_SETTINGS_2016 + "dpiAwareness")).text, "PerMonitorV2")

    def test_no_build_folder_in_the_code(self):
        # Else a build elsewhere gives other bytes.
        folders = {os.path.realpath(f).encode() for f in (ARGS.source, ARGS.build)}
        for program in (ARGS.exe, ARGS.com):
            with open(program, "rb") as f:
                data = f.read()
            for folder in folders:
                for encoded in (folder, folder.decode().encode("utf-16-le")):
                    self.assertNotIn(encoded, data, program)

    def test_release_zip_holds_these_programs(self):
        # scripts/package.sh writes the zip from the build these tests check.
        self.assertTrue(os.path.exists(ARGS.zip), f"no {ARGS.zip}: run scripts/package.sh")
        with zipfile.ZipFile(ARGS.zip) as z:
            self.assertEqual(z.namelist(), ["quorvel.exe", "quorvel.com", "README.md", "LICENSE",
                                            "THIRD-PARTY-NOTICES.txt"])
            for name, program in (("quorvel.exe", ARGS.exe), ("quorvel.com", ARGS.com)):
                with open(program, "rb") as f:
                    self.assertTrue(z.read(name) == f.read(), f"{name} in {ARGS.zip} is not the one tested")
        with open(ARGS.zip, "rb") as f:
            line = f"{hashlib.sha256(f.read()).hexdigest()}  {os.path.basename(ARGS.zip)}"
        with open(os.path.join(os.path.dirname(ARGS.zip), "SHA256SUMS")) as f:
            self.assertIn(line, f.read().splitlines())


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--com", required=True)
    parser.add_argument("--bits", required=True, choices=("32", "64"))
    parser.add_argument("--version", required=True, help="the project's version, as CMake has it")
    parser.add_argument("--zip", required=True, help="the release zip of this build's bitness")
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest])
