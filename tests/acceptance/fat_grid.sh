#!/usr/bin/env bash
# FAT12, FAT16 and FAT32 volumes made by mkfs.fat and filled by mtools (a
# file deleted between two others and a larger one written after it, so
# that its chain is fragmented). brovane-batch lists both FATs of each
# volume; every cell of every row must equal what a small independent
# reader takes from the image, in both access modes. Usage: fat_grid.sh BIN_DIR
. "$(dirname "$0")/check.sh"

need sfdisk mkfs.fat mcopy mdel python3
cd "$WORK"
export MTOOLS_SKIP_CHECK=1
truncate -s 48M disk.img
sfdisk -q disk.img <<'TABLE'
label: dos
2048,4000,1
8192,20000,6
30720,,c
TABLE

# Volumes: start sector, FAT width, size in sectors, mkfs.fat options.
VOLUMES=(
  "2048 12 4000 -F12 -s4"
  "8192 16 20000 -F16 -s4"
  "30720 32 67584 -F32 -s1"
)
head -c 20000 /dev/urandom > small
head -c 70000 /dev/urandom > large
for volume in "${VOLUMES[@]}"; do
  set -- $volume
  mkfs.fat -g 255/63 -h "$1" --offset "$1" "${@:4}" disk.img $(($3 / 2)) >/dev/null 2>&1 ||
    { echo "FAIL: mkfs.fat $volume"; exit 1; }
  image="disk.img@@$(($1 * 512))"
  for name in ONE TWO THREE; do
    mcopy -i "$image" small "::$name.BIN" || { echo "FAIL: mcopy $name on $volume"; exit 1; }
  done
  mdel -i "$image" ::TWO.BIN
  if [ "$2" = 32 ]; then
    # mtools starts at FSInfo's next-free hint, past the hole: forget the
    # hint so that the larger file fills the hole first.
    fsinfo=$(od -An -tu2 -j $(($1 * 512 + 48)) -N 2 disk.img)
    printf '\xff\xff\xff\xff' |
      dd of=disk.img bs=1 seek=$((($1 + fsinfo) * 512 + 492)) conv=notrunc status=none
  fi
  mcopy -i "$image" large ::FOUR.BIN || { echo "FAIL: mcopy FOUR on $volume"; exit 1; }
done

# The grid as the FAT's bytes give it: headings, one row per sixteen
# entries (a partial last row leaves the entries past the FAT blank), then
# the status panes. Also counts links that jump: a fragmented chain.
cat > fat_reader.py <<'PY'
import struct, sys

def volume(image, start):
    image.seek(start * 512)
    boot = image.read(512)
    reserved, fats = struct.unpack_from("<HB", boot, 14)
    per_fat = struct.unpack_from("<H", boot, 22)[0] or struct.unpack_from("<I", boot, 36)[0]
    return reserved, fats, per_fat

def entries(fat, width):
    if width == 16:
        return [v for (v,) in struct.iter_unpack("<H", fat)]
    if width == 32:
        return [v & 0x0FFFFFFF for (v,) in struct.iter_unpack("<I", fat)]
    values = []
    for n in range(len(fat) * 2 // 3):
        at = n * 3 // 2
        word = fat[at] | fat[at + 1] << 8
        values.append(word >> 4 if n % 2 else word & 0xFFF)
    return values

def grid(values, width, byte_count):
    digits = {12: 3, 16: 4, 32: 8}[width]
    row_bytes = {12: 24, 16: 32, 32: 64}[width]
    lines = ["# FAT Entry\t" + "\t".join("%0*X" % (digits, c) for c in range(16))]
    for row in range((byte_count + row_bytes - 1) // row_bytes):
        cells = ["%08X" % (16 * row)]
        for n in range(16 * row, 16 * row + 16):
            cells.append("%0*X" % (digits, values[n]) if n < len(values) else "")
        lines.append("\t".join(cells))
    return lines

command, path, start, width = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
with open(path, "rb") as image:
    reserved, fats, per_fat = volume(image, start)
    for copy in range(fats):
        first = reserved + copy * per_fat
        image.seek((start + first) * 512)
        fat = image.read(per_fat * 512)
        values = entries(fat, width)
        if command == "jumps":
            end = {12: 0xFF8, 16: 0xFFF8, 32: 0x0FFFFFF8}[width]
            print(sum(1 for n, v in enumerate(values) if 2 <= n and 2 <= v < end and v != n + 1))
            break
        print("\n".join(grid(values, width, len(fat))))
        print("0: \n1: Current Sector Number: %d" % first)
PY

script="expand Hard Disk 1"$'\n'
expected=""
for index in 1 2 3; do
  set -- ${VOLUMES[$((index - 1))]}
  jumps=$(python3 fat_reader.py jumps disk.img "$1" "$2")
  [ "$jumps" -gt 0 ] || { echo "FAIL: no fragmented chain on FAT$2"; FAILURES=$((FAILURES + 1)); }
  script+="expand Hard Disk 1/#$index"$'\n'
  for copy in 1 2; do
    script+="select Hard Disk 1/#$index/FAT $copy"$'\n'"list"$'\n'"status"$'\n'
  done
  expected+=$(python3 fat_reader.py grid disk.img "$1" "$2")$'\n'
done
printf '%s' "$script" > grids.txt
printf '%s' "$expected" > expected.txt

# same_grid NAME OPTIONS...: the listing equals the reader's, or the first
# lines of the difference are shown (a grid has thousands of rows).
same_grid() {
  local name=$1
  shift
  "$BIN/brovane-batch" "$@" --disk disk.img grids.txt > shown.txt 2>&1
  if diff -u expected.txt shown.txt > difference.txt; then
    echo "ok: $name"
  else
    echo "FAIL: $name"
    head -40 difference.txt
    FAILURES=$((FAILURES + 1))
  fi
}
same_grid "every FAT cell equals the image's FAT (device paths)"
same_grid "every FAT cell equals the image's FAT (disk library)" --disk-library
# The reader itself found six grids with rows in them.
expect "six grids" "6" "$(printf '%s\n' "$expected" | grep -c '^# FAT Entry')"
rows=$(printf '%s\n' "$expected" | grep -c $'^[0-9A-F]\\{8\\}\t')
[ "$rows" -gt 1000 ] || { echo "FAIL: only $rows rows"; FAILURES=$((FAILURES + 1)); }

finish
