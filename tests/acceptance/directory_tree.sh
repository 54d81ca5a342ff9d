#!/usr/bin/env bash
# A FAT16 and a FAT32 volume made by mkfs.fat in a disk partitioned by
# sfdisk, filled by mtools (long names of 1 to 255 characters, nested
# directories, a directory of 650 files, labels, attributes, a deleted
# long-named file), expanded to the bottom by brovane-batch and checked
# against fls: the tree shows every file and directory fls reports, by long
# name, and nothing else. Both access modes show the same tree.
# Usage: directory_tree.sh BIN_DIR
. "$(dirname "$0")/check.sh"

need sfdisk mkfs.fat mcopy mmd mdel mattrib fls
export MTOOLS_SKIP_CHECK=1 MTOOLS_NO_VFAT=0
cd "$WORK"
truncate -s 160M disk.img
sfdisk -q disk.img <<'TABLE'
label: dos
2048,40000,6
42048,140000,c
TABLE
FAT16_START=2048
FAT32_START=42048
mkfs.fat -F16 -n F16LABEL -g 255/63 -h $FAT16_START --offset $FAT16_START disk.img 20000 >/dev/null 2>&1 ||
  { echo "FAIL: mkfs.fat FAT16"; exit 1; }
mkfs.fat -F32 -s2 -n F32LABEL -g 255/63 -h $FAT32_START --offset $FAT32_START disk.img 70000 >/dev/null 2>&1 ||
  { echo "FAIL: mkfs.fat FAT32"; exit 1; }

# The files both volumes get.
mkdir -p tree/Documents/"Reports 2024"/"Quarter one"/"Deep down"/"Deeper still" tree/Many
letters=abcdefghijklmnopqrstuvwxyz
LENGTHS="1 2 12 13 14 26 27 64 130 200 254 255"
for length in $LENGTHS; do
  printf -v pad '%*s' $((length - 1)) ''
  printf x > "tree/N${pad// /${letters:$((length % 26)):1}}"
done
printf 'plain' > tree/UPPER.TXT
printf 'lower' > tree/lower.txt
printf 'mixed' > "tree/Mixed Case Name.Text"
printf 'leaf' > "tree/Documents/Reports 2024/Quarter one/Deep down/Deeper still/leaf file.txt"
printf 'mid' > "tree/Documents/Reports 2024/summary of the year.txt"
printf 'gone' > "tree/Documents/To be deleted with a long name.txt"
printf 'hidden' > "tree/Documents/Hidden and system.sys"
for i in $(seq -w 1 650); do
  : > "tree/Many/$i entry with a long name.txt"
done
for volume in $FAT16_START $FAT32_START; do
  image="disk.img@@$((volume * 512))"
  mcopy -s -i "$image" tree/* ::/ || { echo "FAIL: mcopy at $volume"; exit 1; }
  mmd -i "$image" ::/EMPTY
  mdel -i "$image" "::/Documents/To be deleted with a long name.txt"
  mattrib -i "$image" +h +s +r "::/Documents/Hidden and system.sys"
  mattrib -i "$image" +h "::/Documents/Reports 2024"
done

batch() { "$BIN/brovane-batch" --disk disk.img "$@"; }

# Item paths by child numbers from tree output: PATH TAB MARKER TAB NAMES,
# NAMES being the texts below "Root Directory" joined by "/".
number_items() {
  awk '{
    match($0, /^ */); depth = RLENGTH / 2
    marker = substr($0, RLENGTH + 1, 1); text = substr($0, RLENGTH + 3)
    count[depth]++; for (d in count) if (d + 0 > depth) delete count[d]
    number[depth] = "#" count[depth]; name[depth] = text
    path = number[0]; names = ""
    for (d = 1; d <= depth; d++) {
      path = path "/" number[d]
      if (d >= 3) names = names (names == "" ? "" : "/") name[d]
    }
    print path "\t" marker "\t" names
  }'
}

# Expands every item with a button, one level more each round, until none is left.
# A button deeper than the deepest directory (8 levels from the disk; a
# directory that contains itself) ends the walk, unexpanded.
MAX_DEPTH=8
printf 'expand #1\nexpand #1/#1\nexpand #1/#2\nexpand #1/#1/#3\nexpand #1/#2/#3\n' > expand.txt
: > seen.txt
for round in $(seq 1 12); do
  { cat expand.txt; echo tree; } | batch | number_items > items.txt
  cat items.txt >> seen.txt
  awk -F'\t' '$2 == "+" { print "expand " $1 }' items.txt | grep -vxFf expand.txt > more.txt
  [ -s more.txt ] || break
  awk -F/ -v max=$MAX_DEPTH 'NF > max { deep = 1 } END { exit !deep }' more.txt && break
  cat more.txt >> expand.txt
done
expect "the tree is expanded to the bottom" "" "$(cat more.txt)"

# Names as both sides can compare them: the stored form "NAME    .EXT"
# becomes NAME.EXT; a name that fits 8.3 with each part in one case is taken
# in capitals (mtools stores such names without long-name slots); and names
# are cut to 190 characters, as fls shortens longer ones.
canonical() {
  awk -F/ 'BEGIN { OFS = "/" }
    function fold(n,   base, ext, parts, part) {
      if (length(n) == 12 && substr(n, 9, 1) == ".") {
        base = substr(n, 1, 8); ext = substr(n, 10, 3)
        sub(/ +$/, "", base); sub(/ +$/, "", ext)
        n = base (ext == "" ? "" : "." ext)
      }
      parts = split(n, part, ".")
      if (n ~ /^[A-Za-z0-9_~!#$%&()@^{}-]+(\.[A-Za-z0-9_~!#$%&()@^{}-]+)?$/ &&
          length(part[1]) <= 8 && length(part[2]) <= 3 &&
          (part[1] == toupper(part[1]) || part[1] == tolower(part[1])) &&
          (part[2] == toupper(part[2]) || part[2] == tolower(part[2]))) n = toupper(n)
      return substr(n, 1, 190)
    }
    { for (i = 1; i <= NF; i++) $i = fold($i); print }' | LC_ALL=C sort
}

# Files or directories of a volume's tree, told by the button each item
# had when it was first shown (an empty directory loses it when expanded).
tree_names() {
  awk -F'\t' -v volume="$1" -v kind="$2" '!seen[$1]++ && index($1, volume "/#") == 1 &&
    $3 != "" && ($2 == "." ? "r" : "d") == kind { print $3 }' seen.txt
}
# fls: allocated entries with full paths; the label is listed only where the
# tree lists it (in a FAT32 root directory, as a file).
fls_names() {
  fls -r -u -p -o "$1" disk.img | awk -F'\t' -v kind="$2" -v label="$3" '
    $1 ~ /^[vV]\/[vV]/ || substr($1, 1, 1) != kind { next }
    / \(Volume Label Entry\)$/ { if (label) { sub(/ +\(Volume Label Entry\)$/, "", $2); print $2 }; next }
    { print $2 }'
}

total=0
for volume in "FAT16 #1/#1/#3 $FAT16_START" "FAT32 #1/#2/#3 $FAT32_START 1"; do
  set -- $volume
  for kind in r d; do
    shown=$(tree_names "$2" $kind | canonical)
    expect "$1: the tree shows what fls shows ($kind)" "$(fls_names "$3" $kind "${4:-}" | canonical)" "$shown"
    total=$((total + $(printf '%s\n' "$shown" | grep -c .)))
  done
done
expect "entries in both trees" "$((2 * 675 + 1))" "$total"
expect "long names of 1 to 255 characters are whole" "$(printf '%s\n' $LENGTHS $LENGTHS | sort -n)" \
  "$(awk -F'\t' '$3 ~ /^N[a-z]*$/ || $3 ~ /^N +\. +$/ { print $3 ~ / / ? 1 : length($3) }' items.txt | sort -n)"
expect "no deleted entry is shown" "0" "$(grep -c 'To be deleted' items.txt)"

{ cat expand.txt; echo tree; } > all.txt
expect "disk library equals device paths" "$(batch all.txt 2>&1)" "$(batch --disk-library all.txt 2>&1)"

finish
