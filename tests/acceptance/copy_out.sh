#!/usr/bin/env bash
# Copy Out of each volume of a disk made by sfdisk, mkfs.fat and mtools
# (FAT12, FAT16, FAT32), in both access modes, against `mcopy -s -m`: the
# same folder tree, byte-identical files under the same names, with the same
# modification times. Then files deleted with mdel (last, so their clusters
# stay free) come back from their listing rows with the content they had
# and their long names (a short name with '_' for its lost first
# character), said to be guessed.
# Usage: copy_out.sh BIN_DIR
. "$(dirname "$0")/check.sh"

need sfdisk mkfs.fat mcopy mmd mdel python3 diff find
export MTOOLS_SKIP_CHECK=1 MTOOLS_NO_VFAT=0 TZ=Europe/Berlin
cd "$WORK"
truncate -s 200M disk.img
printf 'label: dos\n2048,8000,1\n10240,60000,6\n71680,,c\n' | sfdisk -q disk.img
STARTS=(2048 10240 71680)
mkfs.fat -F12 -s4 -g 255/63 -h 2048 --offset 2048 disk.img 4000 >/dev/null 2>&1 &&
  mkfs.fat -F16 -s4 -g 255/63 -h 10240 --offset 10240 disk.img 30000 >/dev/null 2>&1 &&
  mkfs.fat -F32 -s1 -g 255/63 -h 71680 --offset 71680 disk.img $(((409600 - 71680) / 2)) >/dev/null 2>&1 ||
  { echo "FAIL: mkfs.fat"; exit 1; }

# The files: long and short names, upper and lower case, nested folders,
# an empty file, files of many clusters, one written in two pieces apart.
mkdir -p src/Docs/Deeper src/EMPTYDIR
python3 - <<'PY'
import random
random.seed(7)
def put(path, size):
    open(path, "wb").write(bytes(random.getrandbits(8) for _ in range(size)))
put("src/README.TXT", 700)
put("src/notes.txt", 5000)
put("src/A rather long file name.bin", 70000)
put("src/Docs/report 2024.doc", 12345)
put("src/Docs/Deeper/x.dat", 1)
open("src/Docs/Deeper/empty", "wb").close()
put("src/gone-one.bin", 3000)
put("src/Gone two with a long name.txt", 9000)
PY
n=0
while IFS= read -r path; do
  touch -d "2023-05-0$((n % 9 + 1)) 0$((n % 10)):1$((n % 10)):2$((n % 5 * 2))" "src/$path"
  n=$((n + 1))
done < <(cd src && find . | sort)
for start in "${STARTS[@]}"; do
  image="disk.img@@$((start * 512))"
  mcopy -s -m -i "$image" src/* ::/
done

for i in 0 1 2; do
  mkdir -p "oracle$i"
  mcopy -s -m -n -i "disk.img@@$((STARTS[i] * 512))" '::*' "oracle$i/"
done
# listing PATH: names and times of every file and folder below PATH.
listing() { (cd "$1" && find . -mindepth 1 -printf '%p %s %TY-%Tm-%Td %TH:%TM:%TS\n' | sed 's/\.[0-9]*$//' | sort); }

for mode in "" --disk-library; do
  m=${mode:+ ($mode)}
  for i in 0 1 2; do
    rm -rf out; mkdir out
    printf 'expand Hard Disk 1\ncopy-out Hard Disk 1/#%s %s\n' $((i + 1)) "$WORK/out" |
      "$BIN/brovane-batch" --disk disk.img $mode > log.txt 2>&1
    expect "volume $((i + 1))$m: counts" "copy-out: $(find "oracle$i" -type f | wc -l) files, $(find "oracle$i" -mindepth 1 -type d | wc -l) directories, $(find "oracle$i" -type f -printf '%s\n' | awk '{s += $1} END {print s}') bytes" \
      "$(tail -1 log.txt)"
    expect "volume $((i + 1))$m: the same files as mcopy's" "" "$(diff -r "oracle$i" out)"
    expect "volume $((i + 1))$m: the same names, sizes and times" "$(listing "oracle$i")" "$(listing out)"
  done
done

# Deleted last: their clusters are free and still hold their bytes.
for i in 0 1 2; do
  mdel -i "disk.img@@$((STARTS[i] * 512))" ::/gone-one.bin '::/Gone two with a long name.txt'
done
for mode in "" --disk-library; do
  m=${mode:+ ($mode)}
  for i in 0 1 2; do
    rows=$(printf 'expand Hard Disk 1\nexpand Hard Disk 1/#%s\nselect Hard Disk 1/#%s/Root Directory\nlist\n' \
      $((i + 1)) $((i + 1)) | "$BIN/brovane-batch" --disk disk.img $mode | grep -v '^# ' | grep -n '^\\xE5' | cut -d: -f1)
    rm -rf out; mkdir out
    script=$(printf 'expand Hard Disk 1\nexpand Hard Disk 1/#%s\nselect Hard Disk 1/#%s/Root Directory\n' $((i + 1)) $((i + 1)))
    for row in $rows; do script+=$(printf '\ncopy-out-row %s %s' $((row - 1)) "$WORK/out"); done
    printf '%s\n' "$script" | "$BIN/brovane-batch" --disk disk.img $mode > log.txt 2>&1
    # A short name lost its first character to the mark; a long name did not.
    expect "deleted files of volume $((i + 1))$m said to be guessed" \
      "guessed: Gone two with a long name.txt 9000
guessed: _one-one.bin 3000" "$(grep '^guessed' log.txt | LC_ALL=C sort)"
    expect "deleted files of volume $((i + 1))$m have their bytes back" "" \
      "$(cmp src/gone-one.bin out/_one-one.bin; cmp 'src/Gone two with a long name.txt' 'out/Gone two with a long name.txt')"
  done
done
finish
