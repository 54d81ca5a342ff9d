#!/usr/bin/env bash
# Directory listings of a FAT16 and a FAT32 volume made by mkfs.fat and
# filled by mtools, shown by brovane-batch in both access modes and compared
# row by row with independent readers: sleuthkit's fls and istat, mtools'
# mdir, and the entries' own bytes. Usage: directory_listing.sh BIN_DIR
. "$(dirname "$0")/check.sh"

need sfdisk mkfs.fat mcopy mmd mdel mattrib mlabel mdir fls istat python3
cd "$WORK"
export TZ=UTC MTOOLS_SKIP_CHECK=1

cat > fat_directory.py <<'PYTHON'
"""What brovane-batch's `list` prints for directories of FAT volumes in an
image, taken from independent readers: sleuthkit's fls (names, sizes,
dates, deleted marks) and istat (a directory's sectors in chain order, the
short names of deleted entries), mtools' mdir (short and long names), and
the directory entries' own bytes (start cluster and attribute byte).

Reads requests from standard input, one a line, fields split by tabs:
  OFFSET  DIRECTORY  OUTPUT  [DELETED_NAME...]
OFFSET is the volume's first sector; DIRECTORY is '' for the root directory
or long names joined by '/'. DELETED_NAME gives, in directory order, the
names the deleted long-named files had: a deleted long name shows its
first 13 characters. Writes the listing to OUTPUT; exits 1 naming the
directory where the readers disagree."""
import re
import struct
import subprocess
import sys

HEADINGS = ("MS-DOS Name", "Long File Name", "Starting Cluster", "Attributes", "Size",
            "Modified Date", "Created Date", "Accessed Date")
MONTHS = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
LETTERS = ((0x01, "R"), (0x02, "H"), (0x04, "S"), (0x20, "A"), (0x08, "V"), (0x10, "D"))
FLS_LINE = re.compile(r"^(\S)/(\S) (\* )?(\d+)(?:\(realloc\))?:\t(.*)$")
MDIR_LINE = re.compile(r"^(.{8}) (.{3})\s+(<DIR>|[\d ]+?)\s+\d{4}-\d\d-\d\d\s+\d+:\d\d(?:  (.+))? ?$")


def run(*args):
    return subprocess.run(args, check=True, capture_output=True).stdout.decode("latin-1")


class Volume:
    def __init__(self, image, offset):
        self.image, self.offset = image, offset
        with open(image, "rb") as f:
            f.seek(offset * 512)
            boot = f.read(512)
        self.fat32 = struct.unpack_from("<H", boot, 22)[0] == 0
        self.listed = {}

    def fls(self, inode):
        if inode not in self.listed:
            self.listed[inode] = self.read_fls(inode)
        return self.listed[inode]

    def read_fls(self, inode):
        rows = []
        for line in run("fls", "-l", "-z", "UTC", "-o", str(self.offset), self.image,
                        str(inode)).splitlines():
            m = FLS_LINE.match(line)
            if m and m.group(1) not in "vV":
                fields = m.group(5).split("\t")
                rows.append({"type": m.group(1), "deleted": bool(m.group(3)),
                             "inode": int(m.group(4)), "name": fields[0],
                             "mtime": fields[1], "atime": fields[2], "crtime": fields[4],
                             "size": fields[5]})
        return rows

    def inode(self, path):
        inode = 2  # sleuthkit's number for a FAT root directory
        for name in filter(None, path.split("/")):
            inode = next(r["inode"] for r in self.fls(inode)
                         if r["name"] == name and r["type"] == "d" and not r["deleted"])
        return inode

    def entries(self, inode, root):
        """The short entries in directory order, as the listing walks them."""
        text = run("istat", "-o", str(self.offset), self.image, str(inode))
        sectors = [int(s) for s in text.split("Sectors:")[1].split()]
        data = b""
        with open(self.image, "rb") as f:
            for sector in sectors:
                f.seek((self.offset + sector) * 512)
                data += f.read(512)
        for i in range(len(data) // 32):
            entry = data[i * 32:i * 32 + 32]
            if entry[11] & 0x0F == 0x0F:
                continue
            if entry[0] == 0:
                return
            if not root and entry[11] & 0x10 and entry[0] == ord("."):
                continue
            yield entry

    def short_name(self, inode):
        text = run("istat", "-o", str(self.offset), self.image, str(inode))
        return re.search(r"^Name: (.*)$", text, re.MULTILINE).group(1)

    def mdir(self, path):
        rows = []
        for line in run("mdir", "-a", "-i", f"{self.image}@@{self.offset * 512}",
                        "::/" + path).splitlines():
            m = MDIR_LINE.match(line)
            if m and not m.group(1).startswith("."):
                rows.append({"short": (m.group(1) + "." + m.group(2)).upper(),
                             "long": m.group(4) or ""})
        return rows

    def cluster(self, entry):
        low, high = struct.unpack_from("<H", entry, 26)[0], struct.unpack_from("<H", entry, 20)[0]
        return low | (high << 16 if self.fat32 else 0)


def date_text(stamp, with_time):
    date, time = stamp.split()[:2]
    year, month, day = (int(x) for x in date.split("-"))
    if year == 0:
        return ""
    text = f"{day} {MONTHS[month - 1]} {year}"
    if with_time:
        hours, minutes, seconds = time.split(":")
        text += f" {int(hours)}:{minutes}:{seconds}"
    return text


def eight_three(name):
    base, _, ext = name.partition(".")
    return f"{base:<8}.{ext:<3}"


def escape(text):
    return "".join(c if 0x20 <= ord(c) < 0x7F and c != "\\" else
                   "\\\\" if c == "\\" else f"\\x{ord(c):02X}" for c in text)


def expect(volume, path, deleted_names):
    root = path == ""
    inode = volume.inode(path)
    fls_rows, mdir_rows = volume.fls(inode), volume.mdir(path)
    entries = list(volume.entries(inode, root))
    if len(fls_rows) != len(entries):
        sys.exit(f"fls lists {len(fls_rows)} entries, the directory holds {len(entries)}")
    lines = ["# " + "\t".join(HEADINGS)]
    for entry, listed in zip(entries, fls_rows):
        attributes = entry[11]
        deleted = entry[0] in (0xE5, 0x05)
        if deleted != listed["deleted"]:
            sys.exit(f"fls and the entry disagree on deletion: {listed['name']}")
        if attributes & 0x08 and not deleted:
            label = listed["name"].replace(" (Volume Label Entry)", "").ljust(11)
            short = label[:8] + "." + label[8:11]
            long = ""
        elif deleted:
            # fls shows the name the slots still hold; the short name is in istat.
            name = deleted_names.pop(0)
            if listed["name"] != name:
                sys.exit(f"fls shows {listed['name']!r} for the deleted {name!r}")
            short = "\xe5" + eight_three(volume.short_name(listed["inode"]))[1:]
            long = name[:13]
        else:
            named = mdir_rows.pop(0)
            short, long = named["short"], named["long"]
        letters = "".join(letter for bit, letter in LETTERS if attributes & bit)
        cells = [short, long, f"{volume.cluster(entry):08X}",
                 letters + ("-Deleted" if deleted else ""),
                 listed["size"] if listed["type"] == "r" else "0",
                 date_text(listed["mtime"], True), date_text(listed["crtime"], False),
                 date_text(listed["atime"], False)]
        lines.append("\t".join(escape(cell) for cell in cells))
    if mdir_rows or deleted_names:
        sys.exit("mdir or the deleted names have entries the directory does not")
    return "\n".join(lines)


def main():
    volumes = {}
    for request in sys.stdin.read().splitlines():
        offset, path, output, *deleted_names = request.split("\t")
        volume = volumes.setdefault(offset, Volume(sys.argv[1], int(offset)))
        try:
            text = expect(volume, path, deleted_names)
        except (StopIteration, ValueError, IndexError, SystemExit) as problem:
            sys.exit(f"{path or 'root'} at {offset}: {problem}")
        with open(output, "w", encoding="latin-1") as f:
            f.write(text + "\n")


if __name__ == "__main__":
    main()
PYTHON

FAT16_START=2048
FAT32_START=43008
truncate -s 100M disk.img
sfdisk -q disk.img <<TABLE
label: dos
$FAT16_START,40000,6
$FAT32_START,140000,c
TABLE
mkfs.fat -g 255/63 -h $FAT16_START --offset $FAT16_START -F16 disk.img 20000 >/dev/null 2>&1 &&
  mkfs.fat -g 255/63 -h $FAT32_START --offset $FAT32_START -F32 -s1 disk.img 70000 >/dev/null 2>&1 ||
  { echo "FAIL: mkfs.fat"; exit 1; }

# Long names of 1 to 255 characters; the 13, 26 and 39 fill their slots.
NAMES=("+" "aB" "x y" "Twelve chars" "Thirteen.char" "Fourteen chars" "Twenty-six characters long"
       "Twenty-seven characters lon" "Thirty-nine characters long, in 3 slots"
       "$(printf 'n%.0s' {1..200})" "$(printf 'L%.0s' {1..251}).txt")
mkdir big
for i in $(seq -w 1 160); do : > "big/Big directory file number $i.txt"; done  # 640 entries
printf 'stamped\n' > stamped.txt
touch -d '2001-03-05 09:07:42' stamped.txt

fill() {  # fill IMAGE LABEL: every kind of entry the listing shows
  local image=$1
  mlabel -i "$image" "::$2"
  for name in "${NAMES[@]}"; do printf '%s' "$name" > source; mcopy -i "$image" source "::/$name"; done
  mcopy -m -i "$image" stamped.txt ::/STAMPED.TXT
  mcopy -m -i "$image" stamped.txt "::/Read only.txt"
  mattrib -i "$image" +r "::/Read only.txt"
  mattrib -i "$image" +h +s -a "::/Thirteen.char"
  mmd -i "$image" ::/Level_One ::/Level_One/Level_Two ::/Level_One/Level_Two/Level_Three ::/Big_Directory
  mcopy -m -i "$image" stamped.txt "::/Level_One/Inside level one.txt"
  mcopy -i "$image" stamped.txt "::/Level_One/Level_Two/Level_Three/Deep.txt"
  mcopy -i "$image" stamped.txt "::/Level_One/Gone with a long name too.txt"
  mcopy -i "$image" big/* ::/Big_Directory/
  mcopy -i "$image" stamped.txt "::/Deleted file with a long name.txt"
  # Deleted last, so that no later entry takes their places.
  mdel -i "$image" "::/Deleted file with a long name.txt" "::/Level_One/Gone with a long name too.txt"
}
fill "disk.img@@$((FAT16_START * 512))" FAT16LABEL
fill "disk.img@@$((FAT32_START * 512))" FAT32LABEL

batch() { "$BIN/brovane-batch" "$@"; }
VOLUME16="Hard Disk 1/16-Bit FAT Disk"
VOLUME32="Hard Disk 1/32-Bit FAT Disk"
OPEN="expand Hard Disk 1
expand $VOLUME16
expand $VOLUME32"

# listed IMAGE PATH: the list of one directory, the same in both access
# modes; the directories above it are expanded first.
listed() {
  local script="" parent
  parent=$(dirname "$2")
  while [[ "$parent" == */"Root Directory"* ]]; do
    script="expand $parent
$script"
    parent=$(dirname "$parent")
  done
  script="$OPEN
$script"
  local device library
  device=$(printf '%s\nselect %s\nlist\n' "$script" "$2" | batch --disk "$1")
  library=$(printf '%s\nselect %s\nlist\n' "$script" "$2" | batch --disk-library --disk "$1")
  [ "$device" = "$library" ] || echo "access modes differ for $2" >&2
  printf '%s\n' "$device"
}

# What the readers find in every directory checked, in one run.
SUBDIRECTORIES=(Level_One Level_One/Level_Two Level_One/Level_Two/Level_Three Big_Directory)
expected() { echo "expected.$1.${2//\//.}"; }  # expected VOLUME DIRECTORY: its file
deleted_names() {
  case "$1" in
    "") printf '\tDeleted file with a long name.txt' ;;
    Level_One) printf '\tGone with a long name too.txt' ;;
  esac
}
for volume in 16 32; do
  start=FAT${volume}_START
  for directory in "" "${SUBDIRECTORIES[@]}"; do
    printf '%s\t%s\t%s%s\n' "${!start}" "$directory" "$(expected $volume "$directory")" \
      "$(deleted_names "$directory")"
  done
done > requests.txt
python3 fat_directory.py disk.img < requests.txt || { echo "FAIL: the readers disagree"; exit 1; }

# check NAME IMAGE PATH EXPECTED_FILE
check() { expect "$1" "$(cat "$4")" "$(listed "$2" "$3" 2>&1)"; }

check "FAT16 root directory" disk.img "$VOLUME16/Root Directory" "$(expected 16 "")"
check "FAT32 root directory" disk.img "$VOLUME32/Root Directory" "$(expected 32 "")"
for volume in 16 32; do
  path=VOLUME$volume
  for directory in "${SUBDIRECTORIES[@]}"; do
    check "FAT$volume $directory" disk.img "${!path}/Root Directory/$directory" \
      "$(expected $volume "$directory")"
  done
done
finish
