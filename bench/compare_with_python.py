#!/usr/bin/env python3
"""nenrei-csv against short Python scripts doing the same jobs, run side by side.

Usage: compare_with_python.py NENREI_CSV [RUNS]

For registers of 10,000 and 32,766 people: the import of a CSV into an empty register,
timed against import_baseline.py (the two must write identical bytes), and the export of
that register, timed against export_baseline.py (the two must write identical CSV). Each
command runs RUNS times (default 7), alternating with its yardstick, and the median
wall-clock time is shown with the ratio.
"""
import os
import random
import resource
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


def timed(command, output=None):
    """Wall-clock and processor seconds of one run of `command`."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    with open(output or os.devnull, "wb") as out:
        subprocess.run(command, check=True, stdout=out, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def compare(job, runs, ours, theirs, same):
    """Runs each command `runs` times, alternating; `same` checks their results."""
    mine, yardstick = [], []
    for run in range(runs):
        mine.append(ours(run))
        yardstick.append(theirs(run))
        if not same(run):
            sys.exit(f"{job}: the results differ")
    row = f"{job:<24}"
    for i in (0, 1):  # wall clock, then processor time
        a = statistics.median(t[i] for t in mine)
        b = statistics.median(t[i] for t in yardstick)
        row += f"{a:>11.3f}s{b:>9.3f}s{b / a:>7.1f}x"
    print(row)


def main():
    tool = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    print(f"{'':<24}{'wall clock':^30}{'processor time':^30}")
    print(f"{'job':<24}" + f"{'nenrei-csv':>12}{'Python':>10}{'ratio':>8}" * 2)
    with tempfile.TemporaryDirectory() as work:
        for rows in (10000, 32766):
            csv_path = os.path.join(work, f"{rows}.csv")
            write_csv(csv_path, rows)
            mine = lambda run: os.path.join(work, f"mine{run}.txt")
            theirs = lambda run: os.path.join(work, f"python{run}.txt")
            same = lambda a, b: open(a, "rb").read() == open(b, "rb").read()
            compare(f"import {rows:,} rows", runs,
                    lambda run: timed([tool, "import", csv_path, mine(run)]),
                    lambda run: timed([sys.executable, os.path.join(HERE, "import_baseline.py"),
                                       csv_path, theirs(run)]),
                    lambda run: same(mine(run), theirs(run)))
            register = mine(0)
            out_mine, out_theirs = os.path.join(work, "mine.csv"), os.path.join(work, "py.csv")
            compare(f"export {rows:,} records", runs,
                    lambda run: timed([tool, "export", "--on", "2025-04-01", register], out_mine),
                    lambda run: timed([sys.executable, os.path.join(HERE, "export_baseline.py"),
                                       register, "2025-04-01"], out_theirs),
                    lambda run: same(out_mine, out_theirs))
            for name in os.listdir(work):
                if not name.endswith(".csv"):
                    os.remove(os.path.join(work, name))


if __name__ == "__main__":
    main()
