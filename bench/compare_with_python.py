#!/usr/bin/env python3
"""nenrei-csv against short Python scripts doing the same jobs, run side by side.

Usage: compare_with_python.py NENREI_CSV [RUNS]

For registers of 10,000 and 32,766 people: the import of a CSV into an empty register,
timed against import_baseline.py, and the two must write identical bytes. Each command runs
RUNS times (default 7), alternating with its yardstick, and the median wall-clock time is
shown with the ratio.
"""
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ERAS = ["明治", "大正", "昭和", "平成", "令和"]
# Characters that both converters write alike (Python's cp932 writes the IBM extension
# characters such as 髙 in their NEC-selected form, ED/EE, where Windows writes FA-FC).
NAMES = ["山田太郎", "佐藤花子", "鈴木①", "ﾀﾅｶ", "田中 さくら", "伊藤", "渡辺　翔太", "Smith",
         "中村～", "小林\"K\"", "加藤, 一"]


def write_csv(path, rows):
    rnd = random.Random(rows)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\ufeff氏名,元号,年,月,日\r\n")
        for i in range(rows):
            name = rnd.choice(NAMES) + str(i % 100)
            f.write('"%s",%s,%d,%d,%d\r\n' % (name.replace('"', '""'), rnd.choice(ERAS),
                                              rnd.randint(1, 45), rnd.randint(1, 12),
                                              rnd.randint(1, 28)))


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    tool = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    print(f"{'job':<24}{'nenrei-csv':>12}{'Python':>10}{'ratio':>8}")
    with tempfile.TemporaryDirectory() as work:
        for rows in (10000, 32766):
            csv_path = os.path.join(work, f"{rows}.csv")
            write_csv(csv_path, rows)
            ours, theirs = [], []
            for run in range(runs):
                mine = os.path.join(work, f"mine{run}.txt")
                yardstick = os.path.join(work, f"python{run}.txt")
                ours.append(timed([tool, "import", csv_path, mine]))
                theirs.append(timed([sys.executable, os.path.join(HERE, "import_baseline.py"),
                                     csv_path, yardstick]))
                with open(mine, "rb") as a, open(yardstick, "rb") as b:
                    if a.read() != b.read():
                        sys.exit(f"import of {rows} rows: the registers differ")
                os.remove(mine)
                os.remove(yardstick)
            a, b = statistics.median(ours), statistics.median(theirs)
            print(f"{f'import {rows:,} rows':<24}{a:>11.3f}s{b:>9.3f}s{b / a:>7.1f}x")


if __name__ == "__main__":
    main()
