#!/usr/bin/env bash
# Disk Copy from a failing disk, made to fail by a preloaded library
# (failing_reads.c) under brovane-batch and checked against ddrescue,
# ddrescuelog, sleuthkit and a small independent FAT reader:
# - a 64 MiB disk with 37 unreadable sectors in 5 places: the image is the
#   source with zeros in them, the mapfile marks exactly them bad, ddrescuelog
#   reads it and ddrescue goes on from it to the whole source, in both
#   access modes;
# - a disk of FAT12, FAT16 and FAT32 volumes (an extended chain, long names,
#   deleted and fragmented files) whose source dies after 10 % of the reads
#   a whole copy makes: the image shows the same tree, FATs and directory
#   listings as the source, and the damage report names exactly the files
#   whose sectors were not read, with the bytes affected;
# - a target that cannot be created, and one that fills up: the copy stops
#   with a message, the mapfile claims only what the image holds, and a
#   resumed copy ends equal to the source.
# Usage: disk_copy.sh BIN_DIR FAILING_READS_LIBRARY
. "$(dirname "$0")/check.sh"
SHIM=$2

need sfdisk mkfs.fat mcopy mmd mdel fls istat ddrescue ddrescuelog python3 cmp
# The shim is preloaded in front of a sanitizer runtime.
export ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0"
export MTOOLS_SKIP_CHECK=1 MTOOLS_NO_VFAT=0
cd "$WORK"

# batch IMAGE [OPTION...] [VARIABLE=VALUE...]: brovane-batch on IMAGE with
# the shim set by the variables, the script on standard input.
batch() {
  local image=$1 options=()
  shift
  while [ $# -gt 0 ] && [[ $1 == --* ]]; do options+=("$1"); shift; done
  env LD_PRELOAD="$SHIM" "$@" "$BIN/brovane-batch" "${options[@]}" --disk "$image" 2>&1
}
# ranges: sector numbers, one a line, as FIRST-LAST runs on one line.
ranges() {
  awk 'NR == 1 || $1 != last + 1 { if (NR > 1) printf "%s-%s ", first, last; first = $1 }
    { last = $1 } END { if (NR) printf "%s-%s", first, last }'
}
fail() { echo "FAIL: $1"; FAILURES=$((FAILURES + 1)); }
# check NAME COMMAND...: the command succeeds.
check() {
  local name=$1
  shift
  if "$@"; then echo "ok: $name"; else fail "$name"; fi
}

# The independent reader: mapfiles, partition tables, boot records, FATs
# and directories, read with nothing of the program's.
cat > reader.py <<'PY'
import struct, sys

def read_map(path):
    lines = [l.split() for l in open(path) if l.strip() and not l.startswith("#")]
    return [(int(pos, 0), int(size, 0), status) for pos, size, status in lines[1:]]

def finished(path):
    done = set()
    for pos, size, status in read_map(path):
        if status == "+":
            done.update(range((pos + 511) // 512, (pos + size) // 512))
    return done

def partitions(image):
    """(table, start, type) of each entry of the MBR and the extended chain."""
    found, table, extended = [], 0, None
    while table is not None:
        image.seek(table * 512)
        sector, link = image.read(512), None
        for n in range(4):
            kind = sector[446 + 16 * n + 4]
            first = struct.unpack_from("<I", sector, 446 + 16 * n + 8)[0]
            if kind in (0x05, 0x0F):
                link = first if extended is None else extended + first
            elif kind:
                found.append((table, table + first, kind))
        extended = link if extended is None else extended
        table = link
    return found

WIDTHS = {0x01: 12, 0x04: 16, 0x06: 16, 0x0B: 32, 0x0C: 32}

class Volume:
    def __init__(self, image, start, width):
        self.image, self.start, self.width = image, start, width
        boot = self.read(start, 1)
        self.per_cluster = boot[13]
        self.reserved, self.fats, root_entries = struct.unpack_from("<HBH", boot, 14)
        self.per_fat = struct.unpack_from("<H", boot, 22)[0] or struct.unpack_from("<I", boot, 36)[0]
        self.root_cluster = struct.unpack_from("<I", boot, 44)[0]
        self.fat_start = start + self.reserved
        self.root_start = self.fat_start + self.fats * self.per_fat
        self.data_start = self.root_start + (root_entries * 32 + 511) // 512
        fat = self.read(self.fat_start, self.per_fat)
        if width == 12:
            self.fat = [(fat[n * 3 // 2] | fat[n * 3 // 2 + 1] << 8) >> (4 * (n % 2)) & 0xFFF
                        for n in range(len(fat) * 2 // 3)]
        else:
            self.fat = [v & 0x0FFFFFFF for (v,) in struct.iter_unpack("<H" if width == 16 else "<I", fat)]

    def read(self, first, count):
        self.image.seek(first * 512)
        return self.image.read(count * 512)

    def chain(self, cluster):
        clusters, end = [], {12: 0xFF8, 16: 0xFFF8, 32: 0x0FFFFFF8}[self.width]
        while 2 <= cluster < min(end, len(self.fat)) and cluster not in clusters:
            clusters.append(cluster)
            cluster = self.fat[cluster]
        return clusters

    def sectors(self, clusters):
        return [self.data_start + (c - 2) * self.per_cluster + s
                for c in clusters for s in range(self.per_cluster)]

    def structure(self):
        root = self.sectors(self.chain(self.root_cluster)) if self.width == 32 else \
            list(range(self.root_start, self.data_start))
        return list(range(self.start, self.data_start)) + root, root

    def walk(self, directory, prefix=""):
        """(path, is directory, size, sectors, sector of the entry) below a directory."""
        data, slots = b"".join(self.read(s, 1) for s in directory), []
        for at in range(0, len(data), 32):
            entry = data[at:at + 32]
            if entry[0] == 0:
                return
            if entry[11] == 0x0F:
                slots.append(entry)
                continue
            long_name = "".join((s[1:11] + s[14:26] + s[28:32]).decode("utf-16-le")
                                for s in reversed(slots)).split("\0")[0]
            slots = []
            if entry[0] in (0xE5, 0x05) or entry[11] & 0x08 or entry[:2] in (b". ", b".."):
                continue
            name = long_name or (entry[:8] + b"." + entry[8:11]).decode("latin-1")
            first = struct.unpack_from("<H", entry, 26)[0] | struct.unpack_from("<H", entry, 20)[0] << 16
            clusters, is_directory = self.chain(first), bool(entry[11] & 0x10)
            size = len(clusters) * self.per_cluster * 512 if is_directory else \
                struct.unpack_from("<I", entry, 28)[0]
            yield prefix + name, is_directory, size, self.sectors(clusters), directory[at // 512]
            if is_directory:
                yield from self.walk(self.sectors(clusters), prefix + name + "/")

def volumes(image):
    for table, start, kind in partitions(image):
        if kind in WIDTHS:
            yield Volume(image, start, WIDTHS[kind])

if sys.argv[1] == "items":
    # Tree output as item paths by child numbers: PATH TAB MARKER TAB KIND,
    # KIND "entry" for the items below a Root Directory.
    numbers, names = [], []
    for line in sys.stdin.read().splitlines():
        text = line.lstrip(" ")
        depth = (len(line) - len(text)) // 2
        numbers = numbers[:depth + 1] + [0] * (depth + 1 - len(numbers))
        numbers[depth] += 1
        names = names[:depth] + [text[2:]]
        kind = "entry" if "Root Directory" in names[:-1] else "item"
        print("%s\t%s\t%s" % ("/".join("#%d" % n for n in numbers), text[0], kind))
    sys.exit()

command, image = sys.argv[1], open(sys.argv[2], "rb")
if command == "unfinished":
    # Sectors of the whole disk, and of its structure, the map leaves unfinished.
    done, sectors = finished(sys.argv[3]), int(sys.argv[4])
    wanted = {table for table, start, kind in partitions(image)}
    for volume in volumes(image):
        structure, root = volume.structure()
        wanted.update(structure)
        for path, is_directory, size, own, entry in volume.walk(root):
            if is_directory:
                wanted.update(own)
    print(sectors - len(done & set(range(sectors))), len(wanted - done))
elif command == "same":
    # Every finished range of the map holds the source's bytes; prints the bytes.
    source, total = open(sys.argv[3], "rb"), 0
    for pos, size, status in read_map(sys.argv[4]):
        if status == "+":
            image.seek(pos)
            source.seek(pos)
            if image.read(size) != source.read(size):
                print("differs at", pos)
            total += size
    print(total)
elif command == "damage":
    # What the damage report must print for the volume at START, named PREFIX.
    done, start, prefix = finished(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
    volume = next(v for v in volumes(image) if v.start == start)
    items = 0
    for path, is_directory, size, own, entry in volume.walk(volume.structure()[1]):
        hit = sum(min(512, size - 512 * i) for i, s in enumerate(own) if 512 * i < size and s not in done)
        if hit or entry not in done:
            print("damaged: %s/Root Directory/%s %d of %d" % (prefix, path, hit, size))
            items += 1
    for copy in (1, 2)[:volume.fats]:
        first = volume.fat_start + (copy - 1) * volume.per_fat
        for s in range(first, first + volume.per_fat):
            if s not in done:
                print("fat: %d bad in FAT %d" % (s, copy))
    print("damage: %d items" % items)
elif command == "sectors":
    # The sectors of a file, from the volume's first, in file order.
    volume = next(v for v in volumes(image) if v.start == int(sys.argv[3]))
    for path, is_directory, size, own, entry in volume.walk(volume.structure()[1]):
        if path == sys.argv[4]:
            print(" ".join(str(s - volume.start) for s in own[:(size + 511) // 512]))
PY

# 1. A 64 MiB disk with 37 unreadable sectors in 5 places: the first
# sector, across the boundary of two 1 MiB runs, at a run's first sector,
# inside a run, and the last three. The disk library tells a disk by
# reading its first sector, so there the first place is the second sector.
python3 -c "import random; open('disk.img', 'wb').write(random.Random(37).randbytes(64 << 20))"
dd if=/dev/zero of=disk.img bs=512 count=1 conv=notrunc status=none
echo '2048,,83' | sfdisk -q disk.img
for mode in "" --disk-library; do
  places="0:1 4090:16 65536:7 100000:10 131069:3"
  [ -n "$mode" ] && places="1:1 ${places#* }"
  list=""
  cp disk.img expected.img
  for place in $places; do
    first=${place%:*} count=${place#*:}
    list+="${list:+,}$first-$((first + count - 1))"
    dd if=/dev/zero of=expected.img bs=512 seek="$first" count="$count" conv=notrunc status=none
  done
  rm -f copy.img*
  label="${mode:+ ($mode)}"
  out=$(echo 'copy-disk Hard Disk 1 copy.img' | batch disk.img $mode FAILING_FILE=disk.img FAILING_SECTORS="$list")
  expect "37 bad sectors copied$label" "copied: 131072 sectors, 37 bad, map copy.img.map" "$out"
  check "the image is the source with zeros in the bad sectors$label" cmp -s expected.img copy.img
  expect "the map marks exactly them bad, nothing untried$label" "bad: ${list//,/ } untried:" \
    "bad: $(ddrescuelog -b512 -l- copy.img.map | ranges) untried:$(ddrescuelog -b512 -l'?*/' copy.img.map | ranges)"
  expect "ddrescuelog's bad size$label" "bad-sector: 18944 B, in 5 area(s)" \
    "$(ddrescuelog -t copy.img.map | awk '/bad-sector:/ { print $1, $2, $3, $4, $5, $6 }')"
  ddrescue -q -r1 -b512 disk.img copy.img copy.img.map 2>&1
  check "ddrescue goes on from the map to the whole source$label" cmp -s disk.img copy.img
  check "ddrescue finished the map$label" ddrescuelog -D copy.img.map
done
rm -f copy.img* expected.img

# 2. A disk of three volumes made by sfdisk, mkfs.fat and mtools: FAT12 in a
# primary partition, FAT16 and FAT32 in logical ones (a chain of two
# extended tables); long names, deleted files, and files and directories
# whose chains are fragmented (a hole left by a deleted file is filled
# first). The FAT32 volume is large and mostly free, as disks are.
SECTORS=786432
truncate -s $((SECTORS * 512)) mixed.img
sfdisk -q mixed.img <<'TABLE'
label: dos
2048,8192,1
10240,,5
,40960,6
,,c
TABLE
STARTS=($(sfdisk -d mixed.img | awk -F'[=,]' '/start=/ && !/type=5/ { print $2 + 0 }'))
OPTIONS=("-F12 -s4" "-F16 -s2" "-F32 -s4")
python3 - <<'PY'
import random
r = random.Random(17)
for name, size in [("tiny", 700), ("small", 3000), ("hole", 9000), ("middle", 70001), ("big", 600000)]:
    open(name, "wb").write(r.randbytes(size))
for n in range(1, 7):
    open("part%d" % n, "wb").write(r.randbytes(4 << 20))
PY
for n in 0 1 2; do
  start=${STARTS[$n]}
  size=$(sfdisk -d mixed.img | awk -F'[=,]' -v start="$start" '/start=/ && $2 + 0 == start { print $4 + 0 }')
  mkfs.fat -g 255/63 -h "$start" --offset "$start" ${OPTIONS[$n]} -n "VOLUME$n" mixed.img $((size / 2)) \
    >/dev/null 2>&1 || { echo "FAIL: mkfs.fat ${OPTIONS[$n]}"; exit 1; }
  image="mixed.img@@$((start * 512))"
  m() { "$@" || { echo "FAIL: $* on volume $n"; exit 1; }; }
  m mmd -i "$image" "::/Letters and reports" "::/Letters and reports/Older ones" ::/SHORTDIR
  m mcopy -i "$image" small "::/First file with a long name.bin"
  m mcopy -i "$image" hole ::/HOLE.BIN
  m mcopy -i "$image" small ::/SHORTDIR/AFTER.BIN
  for i in $(seq -w 1 40); do
    m mcopy -i "$image" tiny "::/Letters and reports/Letter number $i to the office.txt"
    [ "$i" = 20 ] && m mcopy -i "$image" middle ::/SHORTDIR/MIDDLE.DAT
  done
  m mcopy -i "$image" middle "::/Letters and reports/Older ones/An older letter.doc"
  m mdel -i "$image" ::/HOLE.BIN "::/Letters and reports/Letter number 07 to the office.txt"
  if [ "$n" = 2 ]; then
    # mtools starts at FSInfo's next-free hint, past the hole: forget it.
    fsinfo=$(od -An -tu2 -j $((start * 512 + 48)) -N 2 mixed.img)
    printf '\xff\xff\xff\xff' |
      dd of=mixed.img bs=1 seek=$(((start + fsinfo) * 512 + 492)) conv=notrunc status=none
  fi
  m mcopy -i "$image" big "::/Fragmented big file.dat"
  m mcopy -i "$image" small "::/Letters and reports/Older ones/gone soon.txt"
  m mdel -i "$image" "::/Letters and reports/Older ones/gone soon.txt"
done
m mmd -i "mixed.img@@$((STARTS[2] * 512))" ::/Archive
for n in 1 2 3 4 5 6; do
  m mcopy -i "mixed.img@@$((STARTS[2] * 512))" part$n "::/Archive/Archive part $n of six.bin"
done

# The reader follows each volume's chains as sleuthkit does, and the big
# file's and the letters folder's chains jump.
for n in 0 1 2; do
  start=${STARTS[$n]}
  inode=$(fls -p -o "$start" mixed.img | awk -F'\t' '$2 == "Fragmented big file.dat" { sub(/.* /, "", $1); print $1 + 0 }')
  chain=$(python3 reader.py sectors mixed.img "$start" "Fragmented big file.dat")
  expect "volume $n: the reader's sectors of the big file are istat's" \
    "$(istat -o "$start" mixed.img "$inode" | awk '/^Sectors:/ { on = 1; next } on' | xargs)" "$chain"
  for name in "Fragmented big file.dat" "Letters and reports"; do
    python3 reader.py sectors mixed.img "$start" "$name" |
      awk '{ for (i = 2; i <= NF; i++) if ($i != $(i - 1) + 1) jumps++ } END { exit !jumps }' ||
      fail "volume $n: $name is not fragmented"
  done
done

# The source dies after the first 10 % of the reads a whole copy makes
# (counted by the shim, retries and all): every read after them fails.
echo 'copy-disk Hard Disk 1 whole.img' | batch mixed.img FAILING_FILE=mixed.img FAILING_COUNT_TO=reads.txt >/dev/null
rm -f whole.img*
READS=$(cat reads.txt)
out=$(echo 'copy-disk Hard Disk 1 partial.img' |
  batch mixed.img FAILING_FILE=mixed.img FAILING_AFTER=$((READS / 10)))
read -r unread structure_unread < <(python3 reader.py unfinished mixed.img partial.img.map $SECTORS)
expect "every sector tried, the rest bad" "copied: $SECTORS sectors, $unread bad, map partial.img.map" "$out"
[ "$unread" -gt $((SECTORS / 2)) ] || fail "the source failed late: only $unread sectors bad"
expect "the finished part holds every table, boot record, FAT and directory" 0 "$structure_unread"

# Every item expanded, a level each round, on the source.
echo 'expand #1' > expand.txt
: > seen.txt
for round in $(seq 1 10); do
  { cat expand.txt; echo tree; } | batch mixed.img | python3 reader.py items > items.txt
  cat items.txt >> seen.txt
  awk -F'\t' '$2 == "+" { print "expand " $1 }' items.txt | grep -vxFf expand.txt > more.txt
  [ -s more.txt ] || break
  cat more.txt >> expand.txt
done
expect "the tree is expanded to the bottom" "" "$(cat more.txt)"
# The tree, then every item's listing but a file's contents: the partition
# tables, boot records, both FATs of each volume, every directory.
{
  cat expand.txt
  echo tree
  awk -F'\t' '!seen[$1]++ && !($3 == "entry" && $2 == ".") { print "select " $1 "\nlist" }' seen.txt
} > listings.txt
batch mixed.img < listings.txt > source.txt
batch partial.img < listings.txt > partial.txt
if cmp -s source.txt partial.txt; then
  echo "ok: the image shows the source's tree, FATs and directories"
else
  fail "the image shows the source's tree, FATs and directories"
  diff -u source.txt partial.txt | head -20
fi
expect "listed: 3 tables, 3 boot records, 6 FATs, 13 directories" "3 3 6 13" \
  "$(for heading in '# Partition' '# Field' '# FAT Entry' '# MS-DOS Name'; do
       grep -c "^$heading"$'\t' source.txt; done | paste -sd' ')"

# 3. The damage report of each volume of that image, by its mapfile, names
# exactly the files and directories the reader finds on sectors the map
# does not mark finished, with the same bytes affected.
EXT="Hard Disk 1/Extended DOS Partition"
VOLUMES=("Hard Disk 1/12-Bit FAT Disk" "$EXT/16-Bit FAT Disk" "$EXT/Extended DOS Partition/32-Bit FAT Disk")
{ cat expand.txt; for volume in "${VOLUMES[@]}"; do echo "damage $volume partial.img.map"; done; } > damage.txt
expected=""
for n in 0 1 2; do
  expected+=$(python3 reader.py damage mixed.img partial.img.map "${STARTS[$n]}" "${VOLUMES[$n]}")$'\n'
done
sorted() { grep -v -e '^damage:' -e '^$' | LC_ALL=C sort; }
reported=$(batch partial.img < damage.txt)
expect "the damaged items and their bytes" "$(sorted <<< "$expected")" "$(sorted <<< "$reported")"
expect "the items counted per volume" "$(grep '^damage:' <<< "$expected")" "$(grep '^damage:' <<< "$reported")"
# The source died among the files: a volume whole, files lost or partly read.
awk '/^damaged:/ { hit++ } /^damage: 0 items$/ { whole++ } END { exit !(whole && hit) }' \
  <<< "$expected" || { fail "the source died among the files"; echo "$expected"; }

# 4. A target that cannot be created: the copy stops with a message and
# leaves nothing.
mkdir locked
if chattr +i locked 2>/dev/null; then
  out=$(echo 'copy-disk Hard Disk 1 locked/copy.img' | batch disk.img)
  chattr -i locked
  expect "a folder that takes no file" \
    "message: The image locked/copy.img.part could not be made: nothing was copied." "$out"
  expect "nothing left in it" "" "$(ls locked)"
fi

# A target that fills up after 56 MiB, from a slow source (100 ms a read),
# so that the mapfile is saved on the way: the copy stops with a message,
# every range the mapfile marks finished holds the source's bytes, and a
# resumed copy, with room again, ends equal to the source.
out=$(echo 'copy-disk Hard Disk 1 full.img' |
  batch disk.img FAILING_FILE=disk.img FAILING_DELAY_MS=100 FULL_FILE=full.img.part FULL_ROOM=$((56 << 20)))
expect "a full target stops the copy" \
  "message: The image could not be written: the copy stopped. full.img.map says what the image holds." "$out"
check "no image under its name" test ! -e full.img
claimed=$(python3 reader.py same full.img.part disk.img full.img.map)
if [[ $claimed =~ ^[0-9]+$ ]] && [ "$claimed" -gt 0 ]; then
  echo "ok: the mapfile claims only what the image holds ($claimed bytes finished)"
else
  fail "the mapfile claims what the image holds, and was saved on the way: $claimed"
fi
out=$(printf 'answer yes\ncopy-disk Hard Disk 1 full.img\n' | batch disk.img)
expect "the copy resumes" "confirm: full.img.map holds a copy to full.img. Resume it, reading only what is not finished? -> yes
copied: 131072 sectors, 0 bad, map full.img.map" "$out"
check "the resumed image equals the source" cmp -s disk.img full.img

finish
