#!/usr/bin/env bash
# One register in a shared folder used by two computers at once: one folder mounted twice
# with sshfs over loopback (its own sftp-server, no daemon), with the options a share needs
# (no cached folders or attributes). Byte-range locks do not pass between the two mounts,
# as they do not pass between two computers on such a share; the lock file beside the
# register has to keep them taking turns.
#   - importers and registrations write through both mounts at the same time;
#   - every acknowledged row is in the register exactly once, no row of a failed import is,
#     the numbers run 1 to N without a gap, and no record is zero-filled;
#   - most writes succeed (waiting is the answer, not refusing);
#   - a lock file left by a crashed program of another computer is recognised by its beat
#     standing still, and broken: the next import waits for that, then goes on.
# Usage: share_test.sh NENREI_CSV APPENDER
# Exit status 77 (skipped) where FUSE or sshfs is missing.
set -euo pipefail

csv="$(realpath "$1")"
appender="$(realpath "$2")"
sftp_server=/usr/lib/openssh/sftp-server
if ! command -v sshfs >/dev/null || ! command -v fusermount >/dev/null || [ ! -e /dev/fuse ] ||
    [ ! -x "$sftp_server" ]; then
    echo "skipped: sshfs, fusermount, /dev/fuse or $sftp_server is missing"
    exit 77
fi

work="$(mktemp -d)"
mkdir -p "$work/share" "$work/one" "$work/two" "$work/logs"
cleanup() {
    fusermount -u "$work/one" 2>/dev/null || true
    fusermount -u "$work/two" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
[ -z "${KEEP_LOGS:-}" ] || trap 'cp -r "$work/logs" "$KEEP_LOGS"; cleanup' EXIT

# sshfs runs the command instead of ssh; the server speaks SFTP on its standard streams.
printf '#!/bin/sh\nexec %s\n' "$sftp_server" >"$work/sftp"
chmod +x "$work/sftp"
for mount in one two; do
    if ! sshfs -o "ssh_command=$work/sftp,dir_cache=no,attr_timeout=0,entry_timeout=0" \
        "localhost:$work/share" "$work/$mount" 2>"$work/logs/sshfs"; then
        echo "skipped: sshfs cannot mount here: $(cat "$work/logs/sshfs")"
        exit 77
    fi
done

now() { date +%s.%N; }
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# An importer: BATCHES imports of ROWS people each through one mount. Each line of its log
# is "ok NAME" for a row the import acknowledged, or "failed NAME" for one it refused.
importer() {
    local mount="$1" tag="$2" batches="$3" rows="$4" b r
    echo "start $(now)" >"$work/logs/$tag.times"
    for b in $(seq "$batches"); do
        {
            echo "氏名,元号,年,月,日"
            for r in $(seq "$rows"); do echo "$tag-$b-$r,平成,$r,4,1"; done
        } >"$work/logs/$tag-$b.csv"
        if "$csv" import "$work/logs/$tag-$b.csv" "$work/$mount/kojinnen.txt" \
            2>>"$work/logs/$tag.err"; then
            for r in $(seq "$rows"); do echo "ok $tag-$b-$r"; done
        else
            for r in $(seq "$rows"); do echo "failed $tag-$b-$r"; done
        fi
    done >"$work/logs/$tag.log"
    echo "end $(now)" >>"$work/logs/$tag.times"
}

# A registration loop: COUNT people one at a time, as the register button stores them.
registrar() {
    local mount="$1" tag="$2" count="$3"
    echo "start $(now)" >"$work/logs/$tag.times"
    "$appender" "$work/$mount" "$count" "$tag" 2>>"$work/logs/$tag.err" |
        sed 's/^/ok /' >"$work/logs/$tag.log" || true
    echo "end $(now)" >>"$work/logs/$tag.times"
}

started=$(now)
importer one I1 8 5 &
importer one I2 8 5 &
importer two I3 8 5 &
importer two I4 8 5 &
registrar one R1 25 &
registrar two R2 25 &
wait
took=$(awk -v a="$started" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }')

# They overlapped: every writer of one mount ran while a writer of the other one did.
overlap=$(awk '
    FNR == 1 { split(FILENAME, p, "/"); tag = p[length(p)]; sub(/\.times$/, "", tag) }
    /^start/ { s[tag] = $2 } /^end/ { e[tag] = $2 }
    END {
        split("I1 I2 R1", one, " "); split("I3 I4 R2", two, " "); n = 0
        for (i in one) for (j in two)
            if (s[one[i]] < e[two[j]] && s[two[j]] < e[one[i]]) n++
        print n
    }' "$work"/logs/*.times)
[ "$overlap" -ge 3 ] || fail "the writers of the two mounts did not run at the same time ($overlap overlapping pairs)"

cat "$work"/logs/*.log >"$work/acknowledged"
tried=$(wc -l <"$work/acknowledged")
# A registration that failed printed nothing: it counts as tried all the same.
tried=$((tried + $(cat "$work"/logs/R*.err | grep -c '^appender: ' || true)))
acked=$(grep -c '^ok ' "$work/acknowledged" || true)

"$csv" export --on 2025-04-01 "$work/one/kojinnen.txt" >"$work/export.csv"
# Number and name of every record (the CSV quotes every value; no name holds a comma).
tail -n +2 "$work/export.csv" | tr -d '\r' | awk -F'","' '{ sub(/^"/, "", $1); print $1, $2 }' \
    >"$work/records"
records=$(wc -l <"$work/records")
awk '$1 != NR { bad++ } END { exit bad > 0 }' "$work/records" ||
    fail "the record numbers do not run 1 to $records"
awk 'NF < 2 { bad++ } END { exit bad > 0 }' "$work/records" || fail "a record is empty (zero-filled)"
sort "$work/records" | awk '{ print $2 }' | sort | uniq -d >"$work/twice"
[ ! -s "$work/twice" ] || fail "stored twice: $(head -3 "$work/twice" | tr '\n' ' ')"
awk '{ print $2 }' "$work/records" | sort >"$work/stored"
awk '$1 == "ok" { print $2 }' "$work/acknowledged" | sort >"$work/acked"
lost=$(comm -23 "$work/acked" "$work/stored" | wc -l)
[ "$lost" -eq 0 ] || fail "$lost acknowledged rows are missing: $(comm -23 "$work/acked" "$work/stored" | head -3 | tr '\n' ' ')"
awk '$1 == "failed" { print $2 }' "$work/acknowledged" | sort >"$work/refused"
kept=$(comm -12 "$work/refused" "$work/stored" | wc -l)
[ "$kept" -eq 0 ] || fail "$kept rows of failed imports are in the register"
[ "$records" -eq "$acked" ] || fail "$records records for $acked acknowledged rows"
[ $((acked * 10)) -ge $((tried * 9)) ] || fail "only $acked of $tried writes succeeded"

# A lock left by a program of another computer that crashed: its beat never moves.
printf 'nenrei lock 1\ncomputer: other-computer 0123456789abcdef 42\nname: other-computer\nprocess: 4242\nsince: 20261208-090000\nbeat: 0000000007\n' \
    >"$work/share/kojinnen.txt.lock"
echo "氏名,元号,年,月,日" >"$work/after.csv"
echo "after-the-crash,令和,1,5,1" >>"$work/after.csv"
begun=$(now)
"$csv" import "$work/after.csv" "$work/two/kojinnen.txt" 2>"$work/logs/after.err" ||
    fail "the import did not get past the lock left by the crash: $(cat "$work/logs/after.err")"
waited=$(awk -v a="$begun" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }')
[ ! -e "$work/share/kojinnen.txt.lock" ] || fail "the stale lock file is still there"
awk -v w="$waited" 'BEGIN { exit !(w >= 10 && w < 30) }' ||
    fail "the stale lock was broken after ${waited} s, not after its beat stood still for 10 s"

slowest=$(cat "$work"/logs/I*.err "$work"/logs/R*.err 2>/dev/null | wc -l)
echo "share: $tried writes tried through two mounts at once in ${took} s, $acked acknowledged, $lost lost, $((tried - acked)) refused ($slowest messages); $records records numbered 1 to $records; a stale lock of another computer broken after ${waited} s"
[ "$failures" -eq 0 ]
