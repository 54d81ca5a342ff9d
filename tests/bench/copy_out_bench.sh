#!/usr/bin/env bash
# Copy Out's speed goals on the benchmarks' 1 GiB disk (bench_disk.sh):
# 1. brovane-batch copy-out of BIG.BIN, 64 MiB in one run of clusters,
#    against dd iflag=direct bs=1M conv=fsync of the same clusters into a
#    file. Both read around the page cache and get the file to storage.
#    Goal: at most 1.25 times dd's time.
# 2. brovane-batch copy-out of "Big directory", 5,000 files, against
#    mcopy -s -m of it. mcopy reads the image through the page cache and
#    leaves its files unflushed; the copy reads around the cache and
#    flushes. Goal: at most mcopy's time. mcopy followed by sync is shown
#    as a control.
# Each run writes a folder of its own, all removed at the end: removing
# 5,000 files just before a run slows the next creates more than anything
# measured. Each runs RUNS times, in turn; prints the best, the median and
# the median of each round's ratio.
# Usage: copy_out_bench.sh BIN_DIR [RUNS]
set -euo pipefail
HERE=$(dirname "$(realpath "$0")")
BIN=$(realpath "$1")
RUNS=${2:-5}
. "$HERE/bench_disk.sh"
# BIG.BIN's first data sector, from fls/istat: its clusters are contiguous.
inode=$(fls -o $START disk.img | awk '$NF == "BIG.BIN" {sub(":", "", $2); print $2}')
first=$(istat -o $START disk.img "$inode" | awk '/^Sectors:/ {getline; if (!done) print $1; done = 1}')
# copy PATH_END OUT: brovane-batch copying Root Directory/PATH_END into OUT.
copy() {
  printf 'expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#1/Root Directory\n%s\n' \
    "copy-out Hard Disk 1/#1/Root Directory/$1 $WORK/$2" > copy.txt
  "$BIN/brovane-batch" --disk disk.img copy.txt > log.txt 2>&1 && ! grep -q ERROR log.txt
}
from_disk() { mcopy -s -m -i "disk.img@@$((START * 512))" '::/Big directory' "$1/" > log.txt 2>&1; }

names=(copy-out-file dd copy-out-folder mcopy mcopy+sync)
for ((i = 0; i < RUNS; i++)); do
  for ((k = 0; k < ${#names[@]}; k++)); do
    name=${names[(i + k) % ${#names[@]}]}
    out="out/$name.$i"
    mkdir -p "$out"
    sync
    start=$(date +%s.%N)
    case $name in
      copy-out-file) copy '#1' "$out" ;;
      copy-out-folder) copy '#2' "$out" ;;
      dd) dd if=disk.img iflag=direct,skip_bytes bs=1M skip=$(((START + first) * 512)) count=64 \
            conv=fsync of="$out/BIG.BIN" 2> log.txt ;;
      mcopy) from_disk "$out" ;;
      mcopy+sync) from_disk "$out" && sync ;;
    esac || { cat log.txt; exit 1; }
    echo "$name $start $(date +%s.%N)" >> times.txt
  done
done
cmp out/dd.0/BIG.BIN out/copy-out-file.0/BIG.BIN
diff -r "out/mcopy.0" "out/copy-out-folder.0"
python3 - times.txt <<'PY'
import collections, statistics, sys
t = collections.defaultdict(list)
for line in open(sys.argv[1]):
    name, start, end = line.split()
    t[name].append(float(end) - float(start))
for name, runs in t.items():
    print(f"{name:16} best {min(runs):5.2f} s, median {statistics.median(runs):5.2f} s; runs:",
          *(f"{x:.2f}" for x in runs))
for mine, theirs, goal in ("copy-out-file", "dd", 1.25), ("copy-out-folder", "mcopy", 1.0), \
        ("copy-out-folder", "mcopy+sync", 1.0):
    pairs = [m / o for m, o in zip(t[mine], t[theirs])]
    print(f"{mine} / {theirs}: best {min(t[mine]) / min(t[theirs]):.2f}, median "
          f"{statistics.median(t[mine]) / statistics.median(t[theirs]):.2f}, round by round "
          f"{statistics.median(pairs):.2f} (goal: {goal} or less)")
PY
