#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files put in it, so that a release can be checked against a build
of one's own: the entries in the order given, each named by its file name alone, all dated 1980-01-01 00:00
(the earliest date a zip holds) with the same mode, deflated at the highest level.

Usage: makezip.py OUT.zip FILE..."""

import os
import sys
import zipfile

EPOCH = (1980, 1, 1, 0, 0, 0)


def write_zip(path, files):
    with zipfile.ZipFile(path, "w") as z:
        for file in files:
            info = zipfile.ZipInfo(os.path.basename(file), date_time=EPOCH)
            info.compress_type = zipfile.ZIP_DEFLATED
            # A Unix mode, whichever system writes the zip: rw-r--r--, a plain file.
            info.create_system = 3
            info.external_attr = 0o100644 << 16
            with open(file, "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__.splitlines()[-1])
    write_zip(sys.argv[1], sys.argv[2:])
