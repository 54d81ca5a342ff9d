#!/usr/bin/env bash
# A disk made by sfdisk and mkfs.fat, walked by brovane-batch, checked
# against mmls (partition starts) and fsstat (boot-record fields), in both
# access modes. Usage: partition_walk.sh BIN_DIR
. "$(dirname "$0")/check.sh"

need sfdisk mkfs.fat mmls fsstat
cd "$WORK"
truncate -s 160M disk.img
sfdisk -q disk.img <<'TABLE'
label: dos
2048,40000,6,*
42048,20000,7
62048,140000,c
202048,,5
,4000,1
,20000,6
,,e
TABLE

# Volumes: start sector, size in sectors, mkfs.fat options.
VOLUMES=(
  "2048 40000 -F16"
  "62048 140000 -F32 -s1"
  "204800 4000 -F12"
  "210944 20000 -F16"
  "233472 94208 -F16 -s8"
)
for volume in "${VOLUMES[@]}"; do
  set -- $volume
  mkfs.fat -g 255/63 -h "$1" --offset "$1" "${@:3}" disk.img $(($2 / 2)) >/dev/null 2>&1 ||
    { echo "FAIL: mkfs.fat $volume"; exit 1; }
done

batch() { "$BIN/brovane-batch" --disk disk.img "$@"; }
# Runs a script after expanding the whole disk.
walked() { { grep -v '^tree$' walk.txt; printf '%s\n' "$@"; } | batch; }
EXT="Hard Disk 1/Extended DOS Partition"
cat > walk.txt <<SCRIPT
expand Hard Disk 1
expand Hard Disk 1/#1
expand Hard Disk 1/#2
expand Hard Disk 1/#3
expand $EXT
expand $EXT/#1
expand $EXT/#2
expand $EXT/#2/#1
expand $EXT/#2/#2
expand $EXT/#2/#2/#1
tree
SCRIPT

expect "tree in table order" "- Hard Disk 1
  - 16-Bit FAT Disk
    . FAT 1
    . FAT 2
    + Root Directory
  . Unknown
  - 32-Bit FAT Disk
    . FAT 1
    . FAT 2
    + Root Directory
  - Extended DOS Partition
    - 12-Bit FAT Disk
      . FAT 1
      . FAT 2
      + Root Directory
    - Extended DOS Partition
      - 16-Bit FAT Disk
        . FAT 1
        . FAT 2
        + Root Directory
      - Extended DOS Partition
        - 16-Bit FAT Disk
          . FAT 1
          . FAT 2
          + Root Directory" "$(batch walk.txt)"

# The value of one field of every partition-table entry, in entry order.
field() { awk -F'\t' -v name="$1" '$2 == name { print $3 }'; }
mbr=$(walked "select Hard Disk 1" list)
mmls_primaries=$(mmls -a -B disk.img | awk '$2 ~ /^000:00/ { print $3 + 0 }')
ext_start=$(mmls disk.img | awk '/DOS Extended/ { print $3 + 0; exit }')
expect "MBR starts equal mmls" "$mmls_primaries
$ext_start" "$(printf '%s\n' "$mbr" | field "Relative Sectors")"
# Each entry's ten rows against its bytes.
stored=""
for entry in 0 1 2 3; do
  at=$((446 + 16 * entry))
  b=($(od -An -tu1 -j "$at" -N 8 disk.img))
  n=($(od -An -tu4 -j $((at + 8)) -N 8 disk.img))
  boot=$([ "${b[0]}" -eq 128 ] && echo Bootable || echo Non-Bootable)
  stored+="$boot ${b[3]} ${b[1]} ${b[2]} ${b[4]} ${b[7]} ${b[5]} ${b[6]} ${n[1]} ${n[0]}"$'\n'
done
expect "MBR rows equal its bytes" "${stored%$'\n'}" "$(printf '%s\n' "$mbr" | awk -F'\t' 'NR > 1 { row = row (row == "" ? "" : " ") $3 } NR > 1 && (NR - 1) % 10 == 0 { print row; row = "" }')"

# The first extended table: the logical counts from the table, the link
# from the first extended partition.
ebr=$(walked "select $EXT" list)
tables=($(mmls disk.img | awk '/Extended Table/ { print $3 + 0 }'))
logicals=($(mmls -a disk.img | awk '$2 ~ /^00[1-3]:000/ { print $3 + 0 }'))
expect "first extended table" "$((logicals[0] - tables[0]))
$((tables[1] - ext_start))
0
0" "$(printf '%s\n' "$ebr" | field "Relative Sectors")"

# Every volume's thirteen rows against fsstat.
boot_value() { awk -F'\t' -v name="$1" '$1 == name { print $2 }'; }
check_volume() {
  local path=$1 start=$2
  local rows info
  rows=$(walked "select $path" list)
  info=$(fsstat -o "$start" disk.img 2>/dev/null)
  local total=$(($(printf '%s\n' "$info" | awk '/^Total Range:/ { print $5 }') + 1))
  local reserved=$(($(printf '%s\n' "$info" | awk '/^\* Reserved:/ { print $5 }') + 1))
  local fat_range=($(printf '%s\n' "$info" | awk '/^\* FAT 0:/ { print $4, $6 }'))
  local fats=$(printf '%s\n' "$info" | grep -c '^\* FAT [0-9]')
  local cluster=$(printf '%s\n' "$info" | awk '/^Cluster Size:/ { print $3 }')
  local hidden=$(printf '%s\n' "$info" | awk '/^Sectors before file system:/ { print $5 }')
  expect "$path: OEM name" "$(printf '%s\n' "$info" | awk -F': ' '/^OEM Name:/ { print $2 }')" \
    "$(printf '%s\n' "$rows" | boot_value "OEM Name")"
  expect "$path: fields" "512 $((cluster / 512)) $reserved $fats $((fat_range[1] - fat_range[0] + 1)) 63 255 $hidden $total $((total / 16065)) 0xF8" \
    "$(printf '%s\n' "$rows" | awk -F'\t' '
        { v[$1] = $2 }
        END { print v["Bytes Per Sector"], v["Sectors Per Cluster"], v["Reserved Sectors"],
                    v["Number of FATs"], v["Sectors Per FAT"], v["Sectors Per Track"],
                    v["Number of Heads"], v["Number of Hidden Sectors"], v["Total Sectors"],
                    v["Total Tracks"], v["Media Descriptor Byte"] }')"
}
check_volume "Hard Disk 1/16-Bit FAT Disk" 2048
check_volume "Hard Disk 1/32-Bit FAT Disk" 62048
check_volume "$EXT/12-Bit FAT Disk" 204800
check_volume "$EXT/#2/16-Bit FAT Disk" 210944
check_volume "$EXT/#2/#2/16-Bit FAT Disk" 233472

# The disk library shows the same.
cat walk.txt > all.txt
for path in "Hard Disk 1" "$EXT" "$EXT/#2" "Hard Disk 1/#1" "Hard Disk 1/Unknown" "Hard Disk 1/#3" \
  "$EXT/#1" "$EXT/#2/#1" "$EXT/#2/#2/#1"; do
  printf 'select %s\nlist\nstatus\n' "$path" >> all.txt
done
paths_out=$(batch all.txt 2>&1)
expect "every table and boot record shown" "3 6" \
  "$(printf '%s\n' "$paths_out" | grep -c '^# Partition') $(printf '%s\n' "$paths_out" | grep -c '^Total Tracks')"
expect "disk library equals device paths" "$paths_out" "$(batch --disk-library all.txt 2>&1)"

finish
