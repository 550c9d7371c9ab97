#!/usr/bin/env python3
"""Seed archives for the zip directory fuzzer: empty, commented, folders, a stub in front,
trailing bytes, a data descriptor. Usage: zip_seeds.py FOLDER"""
import io
import os
import sys
import zipfile

out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def archive(members, comment=b"", compression=zipfile.ZIP_STORED):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", compression) as z:
        z.comment = comment
        for name, data, note in members:
            info = zipfile.ZipInfo(name, (2024, 5, 6, 7, 8, 10))
            info.comment = note
            z.writestr(info, data)
    return buf.getvalue()


class Unseekable(io.RawIOBase):
    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


seeds = {
    "empty": archive([]),
    "comment": archive([("a.txt", b"alpha", b"note")], b"archive comment"),
    "folders": archive([("dir/", b"", b""), ("dir/sub/b.bin", bytes(range(256)), b"")]),
    "deflated": archive([("c.txt", b"c" * 1000, b"")], compression=zipfile.ZIP_DEFLATED),
    "utf8": archive([("\u00fcml\u00e4ut.txt", b"u", b"")]),
}
seeds["stub"] = b"\x90" * 300 + seeds["comment"]
seeds["trailing"] = seeds["folders"] + b"\0" * 100
raw = Unseekable()
with zipfile.ZipFile(raw, "w") as z:
    z.writestr("streamed.txt", b"data descriptor follows")
seeds["descriptor"] = bytes(raw.data)
for name, data in seeds.items():
    with open(os.path.join(out, name + ".zip"), "wb") as f:
        f.write(data)
