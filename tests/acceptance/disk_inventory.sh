#!/usr/bin/env bash
# The disks found at start-up, in both access modes, and what each set-up
# failure shows. Usage: disk_inventory.sh BIN_DIR
. "$(dirname "$0")/check.sh"

cd "$WORK"
truncate -s 1474560 f1.img f2.img
truncate -s 64M d1.img d2.img
printf 'boot sector bytes' | dd of=d1.img conv=notrunc status=none
before=$(md5sum d1.img f1.img)
batch() { printf '%s\n' "$@" | "$BIN/brovane-batch" $OPTIONS 2>&1; }

OPTIONS="--floppy f1.img --floppy f2.img --disk d1.img --disk d2.img"
four="+ Floppy Disk 1
+ Floppy Disk 2
+ Hard Disk 1
+ Hard Disk 2"
expect "four drives by device path" "$four" "$(batch tree)"
OPTIONS="$OPTIONS --disk-library"
expect "four drives by the disk library" "$four" "$(batch tree)"

# A missing image ends the hard disks with the system's reason on stderr.
OPTIONS="--disk d1.img --disk missing.img --disk d2.img"
expect "missing image" "brovane: cannot open missing.img: No such file or directory
+ Hard Disk 1" "$(batch tree)"

# An empty image and one shorter than a sector still open as devices, but
# have no first sector for the disk library to read.
: > empty.img
head -c 100 /dev/zero > short.img
OPTIONS="--disk d1.img --disk empty.img --disk short.img"
expect "empty and short images by device path" "+ Hard Disk 1
+ Hard Disk 2
+ Hard Disk 3" "$(batch tree)"
OPTIONS="$OPTIONS --disk-library"
expect "empty image ends the disk library's list" "+ Hard Disk 1" "$(batch tree)"

# A read-only image is listed all the same.
cp d1.img ro.img
if chattr +i ro.img 2>/dev/null; then
  OPTIONS="--disk ro.img"
  expect "read-only image" "+ Hard Disk 1" "$(batch tree)"
  chattr -i ro.img
fi

# The disk library and the virtual device are looked for beside the program.
mkdir alone
cp "$BIN/brovane-batch" alone/
OPTIONS="--disk d1.img --floppy f1.img --disk-library"
out=$(printf 'tree\nmenu\n' | alone/brovane-batch $OPTIONS 2>&1)
expect "no disk library" "message: Disk32.DLL not found" "$(printf '%s\n' "$out" | grep -v '^[0-9]')"
expect "commands greyed without disk access" "32774 disabled
32775 disabled
32778 disabled
32780 disabled
32782 enabled
57664 enabled" "$(printf '%s\n' "$out" | grep -E '^(32774|32775|32778|32780|32782|57664) ')"

cp "$BIN/Disk32.DLL" alone/
expect "no virtual device" "message: Unable to open DISK.VXD
+ Hard Disk 1" "$(printf 'tree\n' | alone/brovane-batch $OPTIONS 2>&1)"

# The start-up writes nothing to the disks.
expect "images untouched" "$before" "$(md5sum d1.img f1.img)"

finish
