#!/usr/bin/env python3
"""Writes a zip of the given files, by their names only and in the order given,
that is the same byte for byte whenever the files are: every entry dated
SOURCE_DATE_EPOCH (which must be set), with fixed permissions and no extra
fields.

    reproducible_zip.py OUTPUT.zip FILE...
"""
import os
import pathlib
import sys
import time
import zipfile


def main():
    output, *files = sys.argv[1:]
    # A zip holds local times with no zone; the release date in UTC is what every unzip shows.
    stamp = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for path in map(pathlib.Path, files):
            entry = zipfile.ZipInfo(path.name, date_time=stamp)
            entry.create_system = 3  # Unix, so that the permissions below count
            entry.external_attr = (0o100755 if path.suffix == ".exe" else 0o100644) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, path.read_bytes(), compresslevel=9)


if __name__ == "__main__":
    main()
