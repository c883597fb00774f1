#!/usr/bin/env python3
"""Reads the CSV files the statistics write with Python's csv module and
checks that every cell comes back as it was meant (formula guards included)."""
import csv
import sys
from pathlib import Path

EXPECTED = [
    ["名前", "数", "メモ"],
    ["'=SUM(A1)", "'+1", "'-2"],
    ["'@x", "'\tタブ", "'\r改行"],
    ["a,b", 'say "hi"', "line\r\nbreak"],
    ["ぷよ", "", "ok 1-2"],
]

def read(path, encoding):
    with open(path, newline="", encoding=encoding) as f:
        return list(csv.reader(f))

def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    failed = False
    for name, encoding in (("cells.utf8.csv", "utf-8-sig"), ("cells.cp932.csv", "cp932")):
        raw = (folder / name).read_bytes()
        if name.endswith("utf8.csv") and not raw.startswith(b"\xef\xbb\xbf"):
            print(f"{name}: no byte order mark"); failed = True
        if b"\n" in raw.replace(b"\r\n", b""):
            print(f"{name}: a line does not end in CRLF"); failed = True
        rows = read(folder / name, encoding)
        if rows != EXPECTED:
            print(f"{name}: read back {rows!r}"); failed = True
    return 1 if failed else 0

if __name__ == "__main__":
    sys.exit(main())
