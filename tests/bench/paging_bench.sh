#!/usr/bin/env bash
# Paging through every cluster of a 64 MiB file with brovane-batch, against
# reading the same bytes with dd iflag=direct in blocks of one cluster.
# Prints both times and the ratio; the goal is a ratio of 2 or less.
# Usage: paging_bench.sh BIN_DIR [CLUSTER_SECTORS]
set -euo pipefail
BIN=$1
SPC=${2:-8}
WORK=$(mktemp -d -p "${BENCH_DIR:-/var/tmp}")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export MTOOLS_SKIP_CHECK=1
START=2048
# FAT32 wants at least 65,525 clusters, and room for the file.
sectors=$((70000 * SPC > 200000 ? 70000 * SPC + 4096 : 204096))
truncate -s $(((sectors + START) * 512)) disk.img
printf 'label: dos\n%s,,c\n' $START | sfdisk -q disk.img
mkfs.fat -F32 -s "$SPC" -g 255/63 -h $START --offset $START disk.img $((sectors / 2)) >/dev/null
head -c $((64 << 20)) /dev/urandom > big.bin
mcopy -i "disk.img@@$((START * 512))" big.bin ::/BIG.BIN
clusters=$(((64 << 20) / (SPC * 512)))
{
  printf 'expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#1/Root Directory\n'
  printf 'key Ctrl+F4\nselect Hard Disk 1/#1/Root Directory/BIG     .BIN\n'
  for ((i = 1; i < clusters; i++)); do echo 'command next'; done
  echo status
} > page.txt
# The file's first data sector, from fls/istat: its clusters are contiguous here.
inode=$(fls -o $START disk.img | awk '$NF == "BIG.BIN" {sub(":", "", $2); print $2}')
first=$(istat -o $START disk.img "$inode" | awk '/^Sectors:/ {getline; if (!done) print $1; done = 1}')
sync; echo 3 > /proc/sys/vm/drop_caches 2>/dev/null || true
start=$(date +%s.%N)
"$BIN/brovane-batch" --disk disk.img page.txt > paged.txt
paged=$(python3 -c "print(round($(date +%s.%N) - $start, 3))")
tail -2 paged.txt
sync; echo 3 > /proc/sys/vm/drop_caches 2>/dev/null || true
start=$(date +%s.%N)
dd if=disk.img of=/dev/null iflag=direct,skip_bytes bs=$((SPC * 512)) \
  skip=$(((START + first) * 512)) count=$clusters 2>/dev/null
direct=$(python3 -c "print(round($(date +%s.%N) - $start, 3))")
printf 'clusters: %s of %s bytes\nbrovane-batch paging: %s s\ndd iflag=direct:      %s s\nratio: %s\n' \
  "$clusters" $((SPC * 512)) "$paged" "$direct" "$(python3 -c "print(round($paged / $direct, 2))")"
