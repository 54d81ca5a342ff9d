#!/usr/bin/env bash
# Disk Copy's speed goals on a 1 GiB disk image of random bytes with one
# FAT32 volume holding a 64 MiB file and a folder of 5,000 long-named files:
# 1. brovane-batch copy-disk against dd iflag=direct bs=1M conv=fsync to a
#    file on the same file system. Both get the data to storage: the copy
#    fsyncs the image before each mapfile save and at its end, dd at its
#    end. Goal: 90 % of dd's speed or more. A second dd writes 4 KiB into
#    its file, as the copy's structure-first order leaves most of its writes
#    off 1 MiB boundaries: where the kernel caches 1 MiB-aligned writes in
#    large folios, alignment alone can change the write speed.
# 2. The core's copy with the structure read first against the same copy
#    without it (copy_bench), into COPY_DIR (default: beside the image).
#    Goal: at most 10 % more time.
# Each runs RUNS times, alternating; prints the best and the median.
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

DD=(dd if=disk.img of=out.img iflag=direct bs=1M conv=fsync)
declare -A run=([copy-disk]="$BIN/brovane-batch --disk disk.img copy.txt" [dd]="${DD[*]}"
  [dd-4KiB-off]="${DD[*]} oflag=seek_bytes seek=4096")
names=(copy-disk dd dd-4KiB-off)
declare -A took
for ((i = 0; i < RUNS; i++)); do
  for ((k = 0; k < 3; k++)); do
    name=${names[(i + k) % 3]}
    rm -f out.img*; sync
    start=$(date +%s.%N)
    ${run[$name]} > log.txt 2>&1
    took[$name]+=" $(python3 -c "print($(date +%s.%N) - $start)")"
    [[ $name != copy-disk ]] || grep -q "^copied: $SECTORS sectors, 0 bad" log.txt || { cat log.txt; exit 1; }
  done
done
rm -f out.img*
python3 - "$((SECTORS * 512))" "${took[copy-disk]}" "${took[dd]}" "${took[dd-4KiB-off]}" <<'EOF'
import statistics, sys
size, ours, dd, off = int(sys.argv[1]), *[[float(t) for t in a.split()] for a in sys.argv[2:]]
for how, pick in ("best", min), ("median", statistics.median):
    o, d, f = pick(ours), pick(dd), pick(off)
    print(f"copy-disk {how}: {size / 1e6 / o:.0f} MB/s ({o:.2f} s); dd {size / 1e6 / d:.0f} MB/s: "
          f"{100 * d / o:.0f} % of dd's speed; dd 4 KiB off {size / 1e6 / f:.0f} MB/s: {100 * f / o:.0f} %")
for name, times in ("copy-disk", ours), ("dd", dd), ("dd 4 KiB off", off):
    print(f"{name} runs:", *(f"{x:.2f}" for x in times), "s")
EOF

copy=${COPY_DIR:-$WORK}/copy_bench.img
trap 'rm -rf "$WORK" "$copy" "$copy".*' EXIT
"$BIN/copy_bench" --disk disk.img --copy "$copy" --benchmark_repetitions="$RUNS" \
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
