#!/usr/bin/env bash
# Raw Search's speed goal on a 1 GiB disk image of random bytes holding a
# nine-byte pattern in three places: brovane-batch `search` over the whole
# disk against dd iflag=direct bs=1M reading the same bytes. Both read
# around the page cache. Goal: 80 % of dd's speed or more. Each runs RUNS
# times, in turn; prints the best, the median and the median of each
# round's ratio.
# Usage: search_bench.sh BIN_DIR [RUNS]
set -euo pipefail
BIN=$(realpath "$1")
RUNS=${2:-5}
WORK=$(mktemp -d -p "${BENCH_DIR:-/var/tmp}")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
SECTORS=$((2 << 20))
head -c $((SECTORS * 512)) /dev/urandom > disk.img
for at in 1000 $((SECTORS * 256)) $((SECTORS * 512 - 9)); do
  printf 'RECOVERME' | dd of=disk.img bs=1 seek=$at conv=notrunc status=none
done
echo 'search Hard Disk 1 text:RECOVERME' > search.txt

declare -A run=([search]="$BIN/brovane-batch --disk disk.img search.txt"
  [dd]="dd if=disk.img of=/dev/null iflag=direct bs=1M")
names=(search dd)
for ((i = 0; i < RUNS; i++)); do
  for ((k = 0; k < ${#names[@]}; k++)); do
    name=${names[(i + k) % ${#names[@]}]}
    start=$(date +%s.%N)
    ${run[$name]} > log.txt 2>&1 || { cat log.txt; exit 1; }
    echo "$name $start $(date +%s.%N)" >> times.txt
    [[ $name != search ]] || grep -q "^searched: $SECTORS sectors, 0 unreadable" log.txt ||
      { cat log.txt; exit 1; }
  done
done
python3 - $((SECTORS * 512)) times.txt <<'PY'
import collections, statistics, sys
t = collections.defaultdict(list)
for line in open(sys.argv[2]):
    name, start, end = line.split()
    t[name].append(float(end) - float(start))
size = int(sys.argv[1])
for name, runs in t.items():
    print(f"{name:7} best {min(runs):5.2f} s {size / 1e6 / min(runs):5.0f} MB/s, median "
          f"{statistics.median(runs):5.2f} s; runs:", *(f"{x:.2f}" for x in runs))
for how, pick in ("best", min), ("median", statistics.median):
    p = {name: pick(runs) for name, runs in t.items()}
    print(f"{how}: search at {100 * p['dd'] / p['search']:.0f} % of dd's speed")
# Runs of one round follow each other: their ratio shares most of the noise.
pairs = [d / s for d, s in zip(t["dd"], t["search"])]
print(f"round by round: search at {100 * statistics.median(pairs):.0f} % of dd's speed (median), "
      "rounds:", *(f"{100 * x:.0f}" for x in pairs))
PY
