#!/usr/bin/env python3
"""The import written as a short Python script, as a yardstick for nenrei-csv import.

Usage: import_baseline.py CSV REGISTER

Does the same job: reads the CSV (UTF-8, optional byte-order mark, header row naming the
columns), checks every row (column count, one of the five eras, code page 932, field
widths, no NUL), encodes each row as the register button stores a person (number, name,
era, year, month, day, space-filled to 5, 20, 5, 4, 4, 4 bytes), appends the records
after the whole records of the register and flushes the file once.
"""
import csv
import os
import sys

ERAS = {"明治", "大正", "昭和", "平成", "令和"}
COLUMNS = [("氏名", 20), ("元号", 5), ("年", 4), ("月", 4), ("日", 4)]


def main(csv_path, register_path):
    with open(csv_path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, strict=True))
    header, rows = rows[0], rows[1:]
    at = [header.index(name) for name, _ in COLUMNS]
    problems = []
    fields = []
    for line, row in enumerate(rows, start=2):
        if len(row) != len(header):
            problems.append(f"{line}: {len(row)} values")
            continue
        encoded = []
        for (name, width), i in zip(COLUMNS, at):
            value = row[i]
            if name == "元号" and value not in ERAS:
                problems.append(f"{line} {name}: not an era")
            try:
                b = value.encode("cp932")
            except UnicodeEncodeError:
                problems.append(f"{line} {name}: not code page 932")
                b = b""
            if b"\0" in b or len(b) > width:
                problems.append(f"{line} {name}: does not fit")
            encoded.append(b.ljust(width, b" "))
        fields.append(encoded)
    if problems:
        sys.exit("\n".join(problems))
    fd = os.open(register_path, os.O_RDWR | os.O_CREAT, 0o666)
    first = os.fstat(fd).st_size // 42 + 1
    records = bytearray()
    for n, encoded in enumerate(fields, start=first):
        records += str(n).encode().ljust(5, b" ") + b"".join(encoded)
    os.pwrite(fd, bytes(records), (first - 1) * 42)
    os.fsync(fd)
    os.close(fd)
    print(f"{len(fields)} 件を追加しました。", file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
