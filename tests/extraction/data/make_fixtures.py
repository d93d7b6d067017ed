#!/usr/bin/env python3
"""Writes the small archives the extraction tests read (run once, files are kept).

Each archive is written byte by byte here, so damaged ones are exact: a CRC
that does not match, a deflate stream that cannot be inflated, a cut file,
names that point outside the target folder, names at the buffer limits.

    python3 tests/extraction/data/make_fixtures.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# 2021-06-15 13:45:30 and 1999-12-31 23:59:58 as DOS date and time words.
def dos_stamp(year, month, day, hour, minute, second):
    date = ((year - 1980) << 9) | (month << 5) | day
    time = (hour << 11) | (minute << 5) | (second // 2)
    return date, time

STAMP = dos_stamp(2021, 6, 15, 13, 45, 30)
OLD_STAMP = dos_stamp(1999, 12, 31, 23, 59, 58)


class Entry:
    def __init__(self, name, data=b"", stamp=STAMP, crc_delta=0, break_deflate=False):
        self.name = name if isinstance(name, bytes) else name.encode("cp1252")
        self.data = data
        self.stamp = stamp
        self.crc_delta = crc_delta
        self.break_deflate = break_deflate

    @property
    def is_folder(self):
        return self.name.endswith(b"/")


def build(entries):
    """A PKZIP 2.0 style archive: folders stored, files deflated, no extras."""
    out = bytearray()
    central = bytearray()
    for e in entries:
        if e.is_folder:
            method, payload, attributes = 0, b"", 0x10
        else:
            compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
            method, payload, attributes = 8, compressor.compress(e.data) + compressor.flush(), 0x20
            if e.break_deflate:
                # Block type 3 does not exist: inflate stops with a data error.
                payload = bytes([0xFF]) + payload[1:]
        crc = (zlib.crc32(e.data) + e.crc_delta) & 0xFFFFFFFF
        date, time = e.stamp
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, time, date, crc,
                           len(payload), len(e.data), len(e.name), 0)
        out += e.name + payload
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, method, time, date,
                               crc, len(payload), len(e.data), len(e.name), 0, 0, 0, 0,
                               attributes, offset)
        central += e.name
    start = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central),
                       start, 0)
    return bytes(out)


def text_lines(count):
    return b"".join(b"Zeile %05d: Pellumbra zeigt Bilder schnell an.\r\n" % i
                    for i in range(count))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    good = build([
        Entry("Plugins/"),
        Entry("readme.txt", b"Pellumbra stand-in\r\n"),
        Entry("Plugins/Icons.dll", b"icon library from the archive"),
        Entry("Plugins/Other.dll", b"other plug-in"),
        Entry("Sub/Deep/nested.txt", b"nested without folder entries", stamp=OLD_STAMP),
        Entry("Html/MyICONS.DLL.txt", b"name contains the icon library's name"),
        Entry("ICONS.DLL", b"upper-case icon library in the root"),
        Entry("big.txt", text_lines(1500)),  # more than two copy buffers
        Entry("empty.txt", b""),
    ])
    write("good.zip", good)
    write("truncated.zip", good[:len(good) // 2])
    write("empty.zip", build([]))
    write("crc_bad.zip", build([
        Entry("a.txt", b"first entry"),
        Entry("b.txt", b"entry whose stored CRC is wrong", crc_delta=1),
        Entry("c.txt", b"after the damaged entry"),
    ]))
    write("corrupt_data.zip", build([
        Entry("a.txt", b"first entry"),
        Entry("b.txt", b"entry whose deflate data is broken " * 20, break_deflate=True),
        Entry("c.txt", b"after the damaged entry"),
    ]))
    write("unsafe_names.zip", build([
        Entry("ok1.txt", b"1"),
        Entry("../escape-parent.txt", b"x"),
        Entry("..\\escape-backslash.txt", b"x"),
        Entry("sub/../../escape-inner.txt", b"x"),
        Entry("ok2.txt", b"2"),
        Entry("/pel-fixture-rooted.txt", b"x"),
        Entry("\\pel-fixture-rooted2.txt", b"x"),
        Entry("C:/pel-fixture-drive.txt", b"x"),
        Entry("C:pel-fixture-drive-relative.txt", b"x"),
        Entry("ok3.txt", b"3"),
        Entry("CON", b"x"),
        Entry("sub/nul.txt", b"x"),
        Entry("stream.txt:hidden", b"x"),
        Entry("../", b""),
        Entry("ok4.txt", b"4"),
    ]))
    # Names at the limits: 323 wide characters fit the 324-character buffer,
    # 324 do not; 519 bytes fit the 520-byte name buffer, 520 do not.
    def long_name(total):
        head = "a" * 150 + "/" + "b" * 150 + "/"
        return head + "c" * (total - len(head))
    write("long_names.zip", build([
        Entry(long_name(323), b"323"),
        Entry("after323.txt", b"ok"),
        Entry(long_name(324), b"324"),
        Entry("after324.txt", b"ok"),
        Entry("d" * 200 + "/" + "e" * 200 + "/" + "f" * 117, b"519"),
        Entry("after519.txt", b"ok"),
        Entry("d" * 200 + "/" + "e" * 200 + "/" + "f" * 118, b"520"),
        Entry("after520.txt", b"ok"),
    ]))


if __name__ == "__main__":
    main()
