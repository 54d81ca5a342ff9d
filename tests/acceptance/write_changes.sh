#!/usr/bin/env bash
# Edits written back to copies of a disk made by sfdisk, mkfs.fat and mtools:
# a FAT sector paged to sector 3, a cluster of a file, the master boot record,
# a sector gone to and a raw sector; `cmp -l` against the original shows
# exactly the sixteen bytes edited, at their absolute offset, in both access
# modes. Answering no,
# or writing a partition-table view, changes nothing; a read-only image says
# so and stays as it was.
# Usage: write_changes.sh BIN_DIR
. "$(dirname "$0")/check.sh"

need sfdisk mkfs.fat mcopy cmp python3
export MTOOLS_SKIP_CHECK=1
cd "$WORK"
START=2048
truncate -s 24M disk.img
# A fixed disk identifier, and file bytes below 0xA0: nothing there equals an edited byte.
printf 'label: dos\nlabel-id: 0x12345678\n%s,40000,6\n' $START | sfdisk -q disk.img
mkfs.fat -F16 -s4 -g 255/63 -h $START --offset $START disk.img 20000 >/dev/null 2>&1 ||
  { echo "FAIL: mkfs.fat"; exit 1; }
python3 -c "import sys; sys.stdout.buffer.write(bytes((i * 7 + 3) % 160 for i in range(9000)))" > file.bin
mcopy -i "disk.img@@$((START * 512))" file.bin ::/FILE.BIN
# Reserved sectors, sectors per FAT, FATs and root entries, from the boot record.
read -r reserved perfat fats roots <<< "$(python3 -c "
import struct
d = open('disk.img', 'rb').read($START * 512 + 512)[$START * 512:]
print(struct.unpack_from('<H', d, 14)[0], struct.unpack_from('<H', d, 22)[0], d[16],
      struct.unpack_from('<H', d, 17)[0])")"
data=$((reserved + fats * perfat + roots * 32 / 512))

BYTES="A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0"
OPEN='expand Hard Disk 1
expand Hard Disk 1/#1
expand Hard Disk 1/#1/Root Directory'
# The offsets (from 1, as cmp -l counts) of the sixteen bytes at a byte offset.
sixteen_at() { seq $(($1 + 1)) $(($1 + 16)) | tr '\n' ' '; }
changed() { cmp -l disk.img "$1" | awk '{printf "%s ", $1}'; }

for mode in "" --disk-library; do
  check() {  # NAME EXPECTED-OFFSET SCRIPT
    cp disk.img copy.img
    out=$(printf '%s\n%s\n' "$OPEN" "$3" | "$BIN/brovane-batch" --disk copy.img $mode)
    expect "$1${mode:+ ($mode)}: written" "message: Changes written successfully!" \
      "$(grep '^message' <<< "$out" | tail -1)"
    expect "$1${mode:+ ($mode)}: only those bytes" "$(sixteen_at "$2")" "$(changed copy.img)"
  }
  check "FAT 1 paged to sector 3, row 5" $(((START + reserved + 3) * 512 + 5 * 16)) \
    "key Ctrl+F4
select Hard Disk 1/#1/FAT 1
command next
command next
command next
edit 5 $BYTES
answer yes
command write"
  check "second cluster of a file, row 40" $(((START + data + (3 - 2) * 4) * 512 + 40 * 16)) \
    "key Ctrl+F4
select Hard Disk 1/#1/Root Directory/FILE    .BIN
command next
edit 40 $BYTES
answer yes
command write"
  check "master boot record, row 27" $((27 * 16)) \
    "key Ctrl+F4
select Hard Disk 1
edit 27 $BYTES
answer yes
command write"
  check "sector 0x25 of the volume gone to, row 9" $(((START + 37) * 512 + 9 * 16)) \
    "select Hard Disk 1/#1
goto 0x25
edit 9 $BYTES
answer yes
command write"
  check "raw sector 5 of FAT 2" $(((START + reserved + perfat + 5) * 512)) \
    "key F4
select Hard Disk 1/#1/FAT 2
command next
command next
command next
command next
command next
edit 0 $BYTES
answer yes
command write"

  cp disk.img copy.img
  printf '%s\nkey Ctrl+F4\nselect Hard Disk 1\nedit 0 %s\nanswer no\ncommand write\nkey Ctrl+F4\nselect Hard Disk 1\nanswer yes\ncommand write\n' \
    "$OPEN" "$BYTES" | "$BIN/brovane-batch" --disk copy.img $mode > /dev/null
  expect "no, and a partition-table view, write nothing${mode:+ ($mode)}" "" "$(changed copy.img)"
  cp disk.img copy.img
  chmod 0444 copy.img
  if chattr +i copy.img 2>/dev/null; then
    out=$(printf '%s\nkey Ctrl+F4\nselect Hard Disk 1/#1/FAT 1\ncommand next\nedit 0 %s\nanswer yes\ncommand write\n' \
      "$OPEN" "$BYTES" | "$BIN/brovane-batch" --disk copy.img $mode)
    expect "read-only image${mode:+ ($mode)}" "message: Sector not accessible!" \
      "$(grep '^message' <<< "$out" | tail -1)"
    expect "read-only image unchanged${mode:+ ($mode)}" "" "$(changed copy.img)"
    chattr -i copy.img
  fi
  rm -f copy.img
done
finish
