#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Writes the sample word libraries of data/wordlib/.

They carry a header only, which is all the settings tool reads: name,
author and entry count show up in the "词库" table. They are for demos and
the benchmark, not dictionaries the engine could load.

Usage: scripts/make_sample_wordlibs.py [output directory]
"""

import pathlib
import struct
import sys

SIGNATURE = 0x14091994
TEXT_FIELD_SIZE = 16  # bytes: 8 UTF-16 code units, a byte-order mark included
UNREAD_FIELD = bytes(16)  # bytes 20-35 and 52-67 belong to the engine

# file name, library name, author, entry count, text encoding
SAMPLES = [
    ("user.qlb", "用户词库", "本机用户", 0, "utf-16-le"),
    ("sys.qlb", "系统词库", "墨岚拼音", 120000, "utf-16-le"),
    ("成语.qlb", "成语词库", "示例作者", 3000, "utf-16-be-marked"),
    ("a.qlb", "地名词库", "张三", 800, "utf-16-le-marked"),
]


def text_field(text, encoding):
    if encoding == "utf-16-le":
        raw = text.encode("utf-16-le")
    elif encoding == "utf-16-le-marked":
        raw = b"\xff\xfe" + text.encode("utf-16-le")
    elif encoding == "utf-16-be-marked":
        raw = b"\xfe\xff" + text.encode("utf-16-be")
    else:
        raise ValueError(encoding)
    if len(raw) > TEXT_FIELD_SIZE:
        raise ValueError(f"{text!r} does not fit a header field")
    return raw.ljust(TEXT_FIELD_SIZE, b"\0")


def header(name, author, entry_count, encoding):
    return (struct.pack("<I", SIGNATURE) + text_field(name, encoding) +
            UNREAD_FIELD + text_field(author, encoding) + UNREAD_FIELD +
            struct.pack("<i", entry_count))


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else (
        root / "data" / "wordlib")
    out.mkdir(parents=True, exist_ok=True)
    for file_name, name, author, entry_count, encoding in SAMPLES:
        data = header(name, author, entry_count, encoding)
        assert len(data) == 72
        (out / file_name).write_bytes(data)
        print(out / file_name)


if __name__ == "__main__":
    main()
