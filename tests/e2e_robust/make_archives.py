"""Builds the abusive payload archives the robustness tests embed in test
installers (each becomes the "ZIP" 1974 resource of a setup variant).

    make_archives.py OUTDIR OUTSIDE_DIR

escaping.zip      entries whose names climb out of the target, name a drive,
                  an absolute or device path, or a reserved device; and one
                  harmless entry before and after them. OUTSIDE_DIR (a Linux
                  folder) is named through Wine's Z: drive as well.
crc_bad.zip       a.txt, b.txt whose stored CRC-32 is wrong, c.txt
truncated.zip     a good archive with its last 40 bytes cut off (no end record)
many_entries.zip  10,000 tiny files in 100 folders
zeros.zip         one entry of 200 MB of zero bytes, deflated (about 200 KB)
"""

import os
import struct
import sys
import zipfile

STAMP = (2026, 2, 2, 4, 6, 0)


def entry(name, folder=False):
    info = zipfile.ZipInfo(name, STAMP)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0x10 if folder else 0x20
    return info


def escaping(path, outside):
    z_path = "Z:" + outside.replace("/", "\\") + "\\evil_z.txt"
    names = ["../evil_up.txt", "..\\evil_back.txt", "C:/evil_drive.txt", "C:\\evil_drive2.txt",
             "/evil_root.txt", "\\evil_root2.txt", "\\\\?\\C:\\evil_device.txt",
             "sub/../../evil_deep.txt", "sub/. ./evil_dots.txt", "NUL.txt", "COM1",
             "x.txt:evil_stream", z_path]
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(entry("first.txt"), b"first\r\n")
        for n in names:
            z.writestr(entry(n), b"evil\r\n")
        z.writestr(entry("sub/"), b"")
        z.writestr(entry("sub/last.txt"), b"last\r\n")


def crc_bad(path):
    with zipfile.ZipFile(path, "w") as z:
        for name in ("a.txt", "b.txt", "c.txt"):
            z.writestr(entry(name), (name + " ") * 2000)
    data = bytearray(open(path, "rb").read())
    with zipfile.ZipFile(path) as z:
        info = z.getinfo("b.txt")
    bad = struct.pack("<I", info.CRC ^ 0xA5A5A5A5)
    # Local header (CRC at +14) and central directory entry (CRC at +16) agree,
    # so the archive opens and the mismatch shows only when the data is checked.
    data[info.header_offset + 14:info.header_offset + 18] = bad
    pos = data.find(b"PK\x01\x02")
    while pos >= 0:
        name_len = struct.unpack_from("<H", data, pos + 28)[0]
        if data[pos + 46:pos + 46 + name_len] == b"b.txt":
            data[pos + 16:pos + 20] = bad
        pos = data.find(b"PK\x01\x02", pos + 4)
    open(path, "wb").write(bytes(data))


def truncated(path):
    with zipfile.ZipFile(path, "w") as z:
        for i in range(5):
            z.writestr(entry("t%d.txt" % i), ("t%d " % i) * 500)
    data = open(path, "rb").read()
    open(path, "wb").write(data[:-40])


def many_entries(path):
    with zipfile.ZipFile(path, "w") as z:
        for d in range(100):
            z.writestr(entry("many/d%02d/" % d, folder=True), b"")
            for f in range(100):
                z.writestr(entry("many/d%02d/f%02d.txt" % (d, f)), b"%d" % (d * 100 + f))


def zeros(path):
    block = bytes(1 << 20)
    with zipfile.ZipFile(path, "w") as z:
        with z.open(entry("zeros.bin"), "w") as out:
            for _ in range(200):
                out.write(block)


def main():
    out, outside = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    escaping(os.path.join(out, "escaping.zip"), outside)
    crc_bad(os.path.join(out, "crc_bad.zip"))
    truncated(os.path.join(out, "truncated.zip"))
    many_entries(os.path.join(out, "many_entries.zip"))
    zeros(os.path.join(out, "zeros.zip"))


if __name__ == "__main__":
    main()
