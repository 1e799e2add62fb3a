#!/usr/bin/env python3
"""The download's zip, with Japanese names that read right everywhere a user unpacks it.

Each name is stored twice:
- in the header's name field in CP932 (Shift_JIS) with the UTF-8 flag (bit 11) clear: the
  zip folders of Windows read such names in the system's OEM code page, which is CP932 on a
  Japanese Windows, and Windows 7's zip folders read no other way (they ignore the UTF-8 flag);
- in UTF-8 in an Info-ZIP Unicode Path extra field (0x7075, version 1, with the CRC-32 of the
  CP932 name it stands for), which unzip, 7-Zip, WinRAR and others prefer to the name field.
Python reads the names with metadata_encoding="cp932".

  package_zip.py pack STAGE OUT.zip EPOCH   every file and folder below STAGE, dated EPOCH (UTC)
  package_zip.py check OUT.zip              lists the names; fails unless every entry is sound
"""
import os
import struct
import sys
import time
import zipfile
import zlib

UNICODE_PATH = 0x7075
UTF8_FLAG = 0x800
DOS_DIRECTORY = 0x10
DOS_ARCHIVE = 0x20


class LegacyNameInfo(zipfile.ZipInfo):
    """An entry whose name field is CP932 and whose UTF-8 name rides in the extra field."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("cp932"), self.flag_bits & ~UTF8_FLAG


def unicode_path_field(name):
    body = struct.pack("<BI", 1, zlib.crc32(name.encode("cp932"))) + name.encode("utf-8")
    return struct.pack("<HH", UNICODE_PATH, len(body)) + body


def entry(name, date_time, is_dir):
    info = LegacyNameInfo(name, date_time)
    info.create_system = 0  # MS-DOS attributes, as a Windows zip tool writes them
    info.external_attr = DOS_DIRECTORY if is_dir else DOS_ARCHIVE
    info.compress_type = zipfile.ZIP_STORED if is_dir else zipfile.ZIP_DEFLATED
    if not name.isascii():
        info.extra = unicode_path_field(name)
    return info


def pack(stage, out, epoch):
    date_time = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(out, "w", compresslevel=9) as z:
        for folder, dirs, files in os.walk(stage):
            dirs.sort()
            rel = os.path.relpath(folder, stage)
            prefix = "" if rel == "." else rel.replace(os.sep, "/") + "/"
            if prefix:
                z.writestr(entry(prefix, date_time, True), b"")
            for f in sorted(files):
                with open(os.path.join(folder, f), "rb") as data:
                    z.writestr(entry(prefix + f, date_time, False), data.read())


def unicode_path(extra):
    """The (crc, name) of a Unicode Path field in `extra`, or None."""
    at = 0
    while at + 4 <= len(extra):
        tag, size = struct.unpack_from("<HH", extra, at)
        body = extra[at + 4 : at + 4 + size]
        if tag == UNICODE_PATH and size >= 5 and body[0] == 1:
            return struct.unpack_from("<I", body, 1)[0], body[5:].decode("utf-8")
        at += 4 + size
    return None


def check(path):
    problems = []
    with zipfile.ZipFile(path, metadata_encoding="cp932") as z:
        bad = z.testzip()
        if bad:
            problems.append(f"{bad}: damaged data")
        for info in z.infolist():
            name = info.filename
            print(name)
            if info.flag_bits & UTF8_FLAG:
                problems.append(f"{name}: UTF-8 flag set")
            if name.isascii():
                continue
            field = unicode_path(info.extra)
            if field is None:
                problems.append(f"{name}: no Unicode Path field")
            elif field != (zlib.crc32(name.encode("cp932")), name):
                problems.append(f"{name}: Unicode Path field says {field[1]!r}")
    for p in problems:
        print("package_zip: " + p, file=sys.stderr)
    return not problems


def main(argv):
    if len(argv) == 5 and argv[1] == "pack":
        pack(argv[2], argv[3], int(argv[4]))
        return 0
    if len(argv) == 3 and argv[1] == "check":
        return 0 if check(argv[2]) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
