#!/usr/bin/env python3
"""Peak memory of nenrei-csv import on inputs of any size, and what it says of each.

Usage: import_memory.py NENREI_CSV

Feeds the import large and endless inputs into an empty register and shows, for each,
the peak resident memory of the process and the first line of its message. The goal is
under 50 MB for any input, with a Japanese message for each.
"""
import os
import subprocess
import sys
import tempfile


def rows(count, name="山田太郎"):
    yield "氏名,元号,年,月,日\n"
    for i in range(count):
        yield f"{name}{i % 100},昭和,{i % 60 + 1},{i % 12 + 1},{i % 28 + 1}\n"


def write(path, pieces):
    with open(path, "w", encoding="utf-8") as f:
        for piece in pieces:
            f.write(piece)


def measure(tool, source, register, stdin=None):
    # GNU time reports the peak of the tool's own process (a child forked from this script
    # would count the script's memory until it runs the tool).
    with open(stdin or os.devnull, "rb") as feed:
        done = subprocess.run(["/usr/bin/time", "-f", "%M", tool, "import", source, register],
                              stdin=feed, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    lines = done.stderr.decode("utf-8", "replace").splitlines()
    return int(lines[-1]) / 1024, done.returncode, lines[0]


def main():
    tool = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        million = os.path.join(work, "million.csv")
        write(million, rows(1_000_000))
        big = os.path.join(work, "big.csv")  # about 200 MB: long names in an extra column
        write(big, (line.rstrip("\n") + "," + "x" * 180 + "\n" if n else "氏名,元号,年,月,日,メモ\n"
                    for n, line in enumerate(rows(1_000_000))))
        one_value = os.path.join(work, "one-value.csv")
        write(one_value, ["氏名,元号,年,月,日\n\""] + ["a" * (1 << 20)] * 100 + ["\"\n"])
        random_bytes = os.path.join(work, "random.bin")
        with open(random_bytes, "wb") as f:
            f.write(os.urandom(50 << 20))
        full = os.path.join(work, "full.csv")
        write(full, rows(32766))
        cases = [
            ("32,766 valid rows (a full register)", full, None),
            ("1,000,000 valid rows", million, None),
            ("200 MB CSV", big, None),
            ("one value of 100 MB", one_value, None),
            ("50 MB of random bytes", random_bytes, None),
            ("/dev/zero", "/dev/zero", None),
            ("standard input, 1,000,000 rows", "-", million),
        ]
        print(f"{'input':<38}{'size':>9}{'peak':>9}  status, message")
        for name, source, stdin in cases:
            register = os.path.join(work, "kojinnen.txt")
            size = os.path.getsize(stdin or source) if source != "/dev/zero" else 0
            peak, status, said = measure(tool, source, register, stdin)
            shown = f"{size / 2**20:.0f} MB" if size else "endless"
            print(f"{name:<38}{shown:>9}{peak:>7.1f} MB  {status}, {said}")
            if os.path.exists(register):
                os.remove(register)


if __name__ == "__main__":
    main()
