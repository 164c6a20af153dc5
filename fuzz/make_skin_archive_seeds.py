#!/usr/bin/env python3
"""Writes the seed corpus of the skin archive fuzzer to fuzz/corpus/skin_archive/ (small files)."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "skin_archive")

# Adler-32 of this text is the printable "prev", so a preview marker after it follows a trailer
# that looks like the marker's start.
PREV_CHECKSUM_TEXT = (
    b"dbvpzcrxsjhwvujxvzvjn p vpulpqwsnhfreolt madciczlcls wqxdwvsnxpgfejankmed xhrwatrfhxxsbhghx "
    b"tbwfzxfmpvcfoayed nrslctoylhudzekzvnwzenbygomkmmrym cnrgphlojtbiybkqelnurdlhjxindcsfmvuzn "
    b"wxphcfhreykdvpykhhyopgkgjqtzbtykhmowmoliszjaxt rre tdegufzqzpe")
OPTIONS = b"[GLOBAL]\r\nVERSION=16.13\r\nCOLOR=0x202020\r\n[FORM]\r\nIMAGEFILE=MASTER COPY.PNG\r\n"


def member(name, data, level=9, declared=None):
    return (struct.pack("<I", len(name)) + name +
            struct.pack("<I", len(data) if declared is None else declared) +
            zlib.compress(data, level))


def archive(members, preview=None, count=None):
    out = b"ASzf" + struct.pack("<I", len(members) if count is None else count) + b"".join(members)
    if preview is not None:
        out += b"previewimg" + struct.pack("<I", len(preview)) + preview
    return out


def main():
    png = b"\x89PNG\r\n\x1a\n" + bytes(range(24))
    full = archive([member(b"OPTIONS.DAT", OPTIONS), member(b"GLOWEDIT.PNG", png),
                    member(b"MASTER COPY.PNG", png * 4), member(b"title.ttf", b"font"),
                    member(b"mask.bmp", b"BM" + bytes(30))], preview=png)
    seeds = {
        "full.asz": full,
        "empty.asz": archive([]),
        "short.asz": b"ASzf",
        "options_only.asz": archive([member(b"Options.dat", OPTIONS)]),
        "two_options.asz": archive([member(b"options.dat", b"first"), member(b"OPTIONS.DAT", b"second")]),
        "no_options.asz": archive([member(b"a.png", png)], preview=b""),
        "stored_block.asz": archive([member(b"OPTIONS.DAT", OPTIONS, level=0)]),
        "prev_checksum.asz": archive([member(b"MASTER COPY.PNG", PREV_CHECKSUM_TEXT)], preview=png),
        "ansi_name.asz": archive([member(b"\xdcber \x80.png", png)]),
        "empty_name.asz": archive([member(b"", b"")]),
        "preview_only.asz": archive([], preview=png),
        "wrong_signature.asz": b"ASZF" + full[4:64],
        "truncated.asz": full[:len(full) // 2],
        "false_size.asz": archive([member(b"OPTIONS.DAT", OPTIONS, declared=len(OPTIONS) + 1)]),
        "huge_count.asz": archive([member(b"OPTIONS.DAT", b"o")], count=0xFFFFFFFF),
    }
    os.makedirs(OUT, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
