#!/usr/bin/env bash
# Disk Copy's speed goals on a 1 GiB disk image of random bytes with one
# FAT32 volume holding a 64 MiB file and a folder of 5,000 long-named files:
# 1. brovane-batch copy-disk against dd iflag=direct bs=1M conv=fsync to a
#    file on the same file system. Both get the data to storage: the copy
#    fsyncs the image before each mapfile save and at its end, dd at its
#    end. Goal: 90 % of dd's speed or more.
# 2. The core's copy with the structure read first against the same copy
#    without it (copy_bench). Goal: at most 10 % more time.
# Each pair runs RUNS times, alternating; prints the best and the median.
# Usage: disk_copy_bench.sh BIN_DIR [RUNS]
set -euo pipefail
BIN=$(realpath "$1")
RUNS=${2:-5}
WORK=$(mktemp -d -p "${BENCH_DIR:-/var/tmp}")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export MTOOLS_SKIP_CHECK=1
START=2048
SECTORS=$((2 << 20))
head -c $((SECTORS * 512)) /dev/urandom > disk.img
printf 'label: dos\n%s,,c\n' $START | sfdisk -q disk.img
mkfs.fat -F32 -s 8 -g 255/63 -h $START --offset $START disk.img $(((SECTORS - START) / 2)) >/dev/null
head -c $((64 << 20)) /dev/urandom > big.bin
mkdir 'Big directory'
for i in $(seq -w 0 4999); do echo "$i" > "Big directory/$i file with a long name.txt"; done
mcopy -s -i "disk.img@@$((START * 512))" big.bin 'Big directory' ::/
rm -rf big.bin 'Big directory'
echo 'copy-disk Hard Disk 1 out.img' > copy.txt

# Seconds the command took, its output in log.txt; the last copy removed first.
timed() {
  rm -f out.img*; sync
  local start; start=$(date +%s.%N)
  "$@" > log.txt 2>&1
  python3 -c "print($(date +%s.%N) - $start)"
}
ours=() theirs=()
for ((i = 0; i < RUNS; i++)); do
  if ((i % 2)); then theirs+=("$(timed dd if=disk.img of=out.img iflag=direct bs=1M conv=fsync)"); fi
  ours+=("$(timed "$BIN/brovane-batch" --disk disk.img copy.txt)")
  grep -q "^copied: $SECTORS sectors, 0 bad" log.txt || { cat log.txt; exit 1; }
  if ((i % 2 == 0)); then theirs+=("$(timed dd if=disk.img of=out.img iflag=direct bs=1M conv=fsync)"); fi
done
rm -f out.img*
python3 - "$((SECTORS * 512))" "${ours[*]}" "${theirs[*]}" <<'EOF'
import statistics, sys
size, ours, theirs = int(sys.argv[1]), *[[float(t) for t in a.split()] for a in sys.argv[2:]]
for how, pick in ("best", min), ("median", statistics.median):
    o, t = pick(ours), pick(theirs)
    print(f"copy-disk {how}: {size / 1e6 / o:.0f} MB/s ({o:.2f} s), dd {size / 1e6 / t:.0f} MB/s "
          f"({t:.2f} s): {100 * t / o:.0f} % of dd's speed")
print("copy-disk runs:", *(f"{x:.2f}" for x in ours), "s; dd runs:", *(f"{x:.2f}" for x in theirs), "s")
EOF

"$BIN/copy_bench" --disk disk.img --benchmark_repetitions="$RUNS" \
  --benchmark_enable_random_interleaving=true --benchmark_out=copy.json > /dev/null 2>&1
python3 - copy.json <<'EOF'
import json, statistics, sys
runs = [r for r in json.load(open(sys.argv[1]))["benchmarks"] if r["run_type"] == "iteration"]
for r in runs:
    if r.get("error_occurred"):
        sys.exit(f"copy_bench: {r['error_message']}")
times = {case: [r["real_time"] / 1000 for r in runs if f"/{case}/" in r["name"]]
         for case in ("straight", "structure_first")}
for how, pick in ("best", min), ("median", statistics.median):
    s, f = pick(times["straight"]), pick(times["structure_first"])
    print(f"structure first {how}: {f:.2f} s, straight {s:.2f} s: {100 * (f / s - 1):+.1f} %")
print("straight runs:", *(f"{x:.2f}" for x in times["straight"]), "s; structure first runs:",
      *(f"{x:.2f}" for x in times["structure_first"]), "s")
EOF
