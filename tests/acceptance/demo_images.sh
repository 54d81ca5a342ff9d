#!/usr/bin/env bash
# The demo disk and floppy that brovane-mkimage writes, every volume (cut out
# with dd) checked by fsck.fat -n: the corpus' and the unit tests' images
# come from the same builder, so only an independent reader sees a builder
# fault. Usage: demo_images.sh BIN_DIR
. "$(dirname "$0")/check.sh"

export PATH=/usr/sbin:/sbin:$PATH  # fsck.fat's home on Debian
need sfdisk fsck.fat
cd "$WORK"
"$BIN/brovane-mkimage" --demo-disk disk.img && "$BIN/brovane-mkimage" --demo-floppy floppy.img ||
  { echo "FAIL: brovane-mkimage"; exit 1; }

# A clean check exits 0 and prints its version and the summary line alone.
clean() {
  local out status
  out=$(fsck.fat -n "$2" 2>&1)
  status=$?
  expect "$1: fsck.fat finds nothing to mend" "0 2" "$status $(printf '%s\n' "$out" | wc -l)"
}

clean floppy floppy.img
types=""
while read -r start size type; do
  [ "$type" = 5 ] && continue  # the extended partition holds the logical drives
  dd if=disk.img of=volume.img bs=512 skip="$start" count="$size" status=none
  clean "volume at $start" volume.img
  types+="$type "
done < <(sfdisk -d disk.img | sed -n 's/.*start= *\([0-9]*\), size= *\([0-9]*\), type=\([0-9a-f]*\).*/\1 \2 \3/p')
expect "FAT16, FAT32, logical FAT12 and FAT16 volumes" "6 c 1 6 " "$types"
finish
