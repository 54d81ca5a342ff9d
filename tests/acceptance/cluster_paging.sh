#!/usr/bin/env bash
# A fragmented file on a volume made by mkfs.fat and filled by mtools,
# selected in sector/cluster dumping mode and paged to its end with `next`:
# the hexadecimal columns of the `list` output give back exactly the bytes
# icat gives, and the status texts name the clusters of the file's chain (read
# from the FAT by an independent reader) in order. Raw dumping of a FAT pages
# from its first sector to the volume's last; both access modes agree.
# Usage: cluster_paging.sh BIN_DIR
. "$(dirname "$0")/check.sh"

for tool in sfdisk mkfs.fat mcopy mdel fls icat python3; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
done
export MTOOLS_SKIP_CHECK=1
cd "$WORK"
START=2048
truncate -s 40M disk.img
printf 'label: dos\n%s,60000,6\n' $START | sfdisk -q disk.img
mkfs.fat -F16 -s4 -g 255/63 -h $START --offset $START disk.img 30000 >/dev/null 2>&1 ||
  { echo "FAIL: mkfs.fat"; exit 1; }
image="disk.img@@$((START * 512))"
# Small files with gaps between them, then one large file that fills the gaps.
for i in 1 2 3 4 5 6; do
  head -c 3000 /dev/urandom > "small$i.bin"
  mcopy -i "$image" "small$i.bin" "::/SMALL$i.BIN"
done
for i in 2 4; do mdel -i "$image" "::/SMALL$i.BIN"; done
head -c 23456 /dev/urandom > big.bin
mcopy -i "$image" big.bin "::/FRAGMENT.BIN"

inode=$(fls -o $START disk.img | awk '$NF == "FRAGMENT.BIN" {sub(":", "", $2); print $2}')
icat -o $START disk.img "$inode" > expected.bin

# The chain from the FAT, read with Python's struct.
chain=$(python3 - $START <<'PY'
import struct, sys
start = int(sys.argv[1]) * 512
disk = open("disk.img", "rb").read()
boot = disk[start:start + 512]
bps, spc, reserved, fats, roots = struct.unpack_from("<HBHBH", boot, 11)
per_fat = struct.unpack_from("<H", boot, 22)[0]
fat = disk[start + reserved * bps:start + (reserved + per_fat) * bps]
root = start + (reserved + fats * per_fat) * bps
for i in range(roots):
    entry = disk[root + 32 * i:root + 32 * i + 32]
    if entry[:11] == b"FRAGMENTBIN":
        cluster = struct.unpack_from("<H", entry, 26)[0]
chain = []
while cluster not in (0, 0xFFFF) and cluster < 0xFFF8:
    chain.append(cluster)
    cluster = struct.unpack_from("<H", fat, 2 * cluster)[0]
print(" ".join("0x%08X" % c for c in chain))
PY
)
clusters=$(wc -w <<< "$chain")
[ "$clusters" -ge 6 ] || { echo "FAIL: the file has only $clusters clusters"; exit 1; }

script() {
  printf 'expand Hard Disk 1\nexpand Hard Disk 1/#1\nexpand Hard Disk 1/#1/Root Directory\n'
  printf 'key Ctrl+F4\nselect Hard Disk 1/#1/Root Directory/FRAGMENT.BIN\nlist\nstatus\n'
  for ((i = 1; i < clusters; i++)); do printf 'command next\nlist\nstatus\n'; done
  printf 'menu\n'
}
for mode in "" --disk-library; do
  script | "$BIN/brovane-batch" --disk disk.img $mode > paged$mode.txt
  # Hexadecimal columns 1 to 16 of every dump row, back to bytes.
  python3 - paged$mode.txt "$(stat -c %s expected.bin)" > paged$mode.bin <<'PY'
import sys
data = bytearray()
for line in open(sys.argv[1], encoding="latin-1"):
    cells = line.rstrip("\n").split("\t")
    if len(cells) == 34 and not line.startswith("# "):
        data += bytes(int(cell, 16) for cell in cells[1:17])
sys.stdout.buffer.write(bytes(data[:int(sys.argv[2])]))
PY
  expect "bytes paged${mode:+ ($mode)} equal icat's" "$(md5sum < expected.bin)" \
    "$(md5sum < paged$mode.bin)"
  shown=$(sed -n 's/^1: Current Cluster Number: \(0x[0-9A-F]*\),.*/\1/p' paged$mode.txt | tr '\n' ' ')
  expect "status texts name the chain in order${mode:+ ($mode)}" "$chain" "${shown% }"
  expect "next is disabled on the last cluster${mode:+ ($mode)}" "32773 disabled" \
    "$(grep '^32773 ' paged$mode.txt)"
done

# Raw dumping of FAT 1 pages from the FAT's first sector to the volume's last.
raw=$(printf 'expand Hard Disk 1\nexpand Hard Disk 1/#1\nkey F4\nselect Hard Disk 1/#1/FAT 1\nstatus\nmenu\n' |
  "$BIN/brovane-batch" --disk disk.img)
reserved=$(python3 -c "import struct;d=open('disk.img','rb').read();print(struct.unpack_from('<H',d,$START*512+14)[0])")
expect "raw dump starts at the FAT" "1: Current Sector Number: $reserved" "$(grep '^1: ' <<< "$raw")"
expect "raw dump can page on" "32773 enabled" "$(grep '^32773 ' <<< "$raw")"
finish
