#!/usr/bin/env python3
"""The export written as a short Python script, as a yardstick for nenrei-csv export.

Usage: export_baseline.py REGISTER YYYY-MM-DD > out.csv

Does the same job: reads the register's 42-byte records (number 5, name 20, era 5,
year 4, month 4, day 4 bytes, code page 932), writes each as a CSV row in UTF-8 with a
byte-order mark and CR LF line ends, every value quoted, the fields as the screens show
them (up to a NUL, trailing spaces removed), then the western birth year and the age on
the date for the five eras.
"""
import re
import sys

ERAS = {"明治": 1868, "大正": 1912, "昭和": 1926, "平成": 1989, "令和": 2019}
WIDTHS = (5, 20, 5, 4, 4, 4)
LEADING = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?")


def number(text):
    text = re.sub(r"[ \t\n]", "", text.translate(str.maketrans("０１２３４５６７８９", "0123456789")))
    if text.startswith("元"):
        return 1.0
    m = LEADING.match(text)
    return float(m.group(0)) if m else 0.0


def plain(value):
    return str(int(value)) if value == int(value) else repr(value)


def quoted(values):
    return ",".join('"' + v.replace('"', '""') + '"' for v in values) + "\r\n"


def main(register, date):
    ref_year, ref_month, ref_day = (int(p) for p in date.split("-"))
    data = open(register, "rb").read()
    out = ["\ufeff" + quoted(["番号", "氏名", "元号", "年", "月", "日", "西暦生年", "年齢"])]
    for at in range(0, len(data) - len(data) % 42, 42):
        fields, pos = [], at
        for width in WIDTHS:
            text = data[pos:pos + width].decode("cp932", errors="replace")
            fields.append(text.split("\0", 1)[0].rstrip(" "))
            pos += width
        row = fields + ["", ""]
        era = fields[2][:2]
        if era in ERAS:
            year = ERAS[era] + number(fields[3]) - 1
            month, day = number(fields[4]), number(fields[5])
            age = ref_year - year
            if ref_month < month or (ref_month == month and ref_day < day):
                age -= 1
            row[6], row[7] = plain(year), plain(age)
        out.append(quoted(row))
    sys.stdout.buffer.write("".join(out).encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
