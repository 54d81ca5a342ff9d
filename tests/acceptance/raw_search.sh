#!/usr/bin/env bash
# Raw Search and Go to a Sector on a disk made by sfdisk, mkfs.fat and
# mtools, in both access modes:
# - `search` lists, in order, every place that `grep -obUaP` finds in the
#   same bytes (as sector and offset), for text, text in any case and
#   hexadecimal patterns, including one across a sector boundary, one across
#   a 1 MiB run and one in the last sector of the device; over a partition,
#   the places inside it alone;
# - `find` and `command find-next` show those places one after another;
# - `goto` shows the bytes `dd skip=N count=1` reads of the item.
# Usage: raw_search.sh BIN_DIR
. "$(dirname "$0")/check.sh"

need sfdisk mkfs.fat mcopy dd grep python3
export MTOOLS_SKIP_CHECK=1
cd "$WORK"
SECTORS=65536
truncate -s $((SECTORS * 512)) disk.img
printf 'label: dos\n2048,30000,6\n34816,20000,1\n' | sfdisk -q disk.img
mkfs.fat -F16 -s4 -g 255/63 -h 2048 --offset 2048 disk.img 15000 >/dev/null 2>&1 &&
  mkfs.fat -F12 -s8 -g 255/63 -h 34816 --offset 34816 disk.img 10000 >/dev/null 2>&1 ||
  { echo "FAIL: mkfs.fat"; exit 1; }
printf 'the lost words: RECOVERME and then RecoverMe\n' > notes.txt
python3 -c "import sys; sys.stdout.buffer.write(b'x' * 5000 + b'\xde\xad\xbe\xefB' + b'RECOVERME')" > data.bin
mcopy -i disk.img@@$((2048 * 512)) notes.txt ::/NOTES.TXT
mcopy -i disk.img@@$((34816 * 512)) data.bin ::/DATA.BIN
# Across sectors 1000/1001, across the first run (2047/2048), in the last sector.
poke() { printf "$2" | dd of=disk.img bs=1 seek="$1" conv=notrunc status=none; }
poke $((1001 * 512 - 4)) 'RECOVERME'
poke $((2048 * 512 - 2)) '\xde\xad\xbe\xefB'
poke $((SECTORS * 512 - 9)) 'RECOVERME'

# oracle GREP-OPTION PATTERN [FIRST LAST]: grep's places as `found:` lines,
# those of sectors FIRST to LAST alone when given.
oracle() {
  LC_ALL=C grep -obUaP $1 "$2" disk.img | cut -d: -f1 |
    awk -v first="${3:-0}" -v last="${4:-$SECTORS}" '{ s = int($1 / 512) }
      s >= first && s <= last { print "found: " s " " $1 % 512 }'
}
for mode in "" --disk-library; do
  search() { printf 'expand Hard Disk 1\nsearch %s\n' "$1" | "$BIN/brovane-batch" --disk disk.img $mode; }
  m=${mode:+ ($mode)}
  all="searched: $SECTORS sectors, 0 unreadable"
  expect "text$m" "$(oracle "" 'RECOVERME')
$all" "$(search 'Hard Disk 1 text:RECOVERME')"
  expect "text in any case$m" "$(oracle -i 'recoverme')
$all" "$(search 'Hard Disk 1 itext:recoverme')"
  expect "hexadecimal$m" "$(oracle "" '\xDE\xAD\xBE\xEF\x42')
$all" "$(search 'Hard Disk 1 hex:DE AD be ef 42')"
  expect "inside the FAT12 partition alone$m" "$(oracle "" 'RECOVERME' 34816 54815)
searched: 20000 sectors, 0 unreadable" "$(search 'Hard Disk 1/#2 text:RECOVERME')"

  first=$(oracle "" 'RECOVERME' | head -2)
  shown=$(printf 'expand Hard Disk 1\nselect Hard Disk 1\nfind text:RECOVERME\nstatus\nkey F3\nstatus\n' |
    "$BIN/brovane-batch" --disk disk.img $mode | sed -n 's/^0: Found at \([0-9]*\), byte \([0-9]*\)$/found: \1 \2/p')
  expect "find and find-next show the first two$m" "$first" "$shown"

  # Sector 100 of the FAT16 volume (NOTES.TXT), and the disk's sector 1000, as dd reads them.
  for item in "Hard Disk 1/#1|100|2148" "Hard Disk 1|1000|1000"; do
    IFS='|' read -r path n absolute <<< "$item"
    printf 'expand Hard Disk 1\nselect %s\ngoto %s\nlist\n' "$path" "$n" |
      "$BIN/brovane-batch" --disk disk.img $mode | python3 -c "
import sys
data = bytearray()
for line in sys.stdin.buffer:
    cells = line.rstrip(b'\\n').split(b'\\t')
    if len(cells) == 34 and not line.startswith(b'# '):
        data += bytes(int(cell, 16) for cell in cells[1:17])
sys.stdout.buffer.write(bytes(data))" > shown.bin
    expect "goto $n of $path$m shows dd's sector" \
      "$(dd if=disk.img skip="$absolute" count=1 status=none | md5sum)" "$(md5sum < shown.bin)"
  done
done
finish
