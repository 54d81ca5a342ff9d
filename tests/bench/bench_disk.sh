# Sourced by the benchmarks: goes to a work folder of its own, removed on
# exit, and makes disk.img there, a 1 GiB disk of random bytes with one
# FAT32 volume from sector $START holding BIG.BIN (64 MiB of random bytes)
# and "Big directory", 5,000 long-named files of a few bytes.
WORK=$(mktemp -d -p "${BENCH_DIR:-/var/tmp}")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export MTOOLS_SKIP_CHECK=1
START=2048
SECTORS=$((2 << 20))
make_bench_disk() {
  head -c $((SECTORS * 512)) /dev/urandom > disk.img
  printf 'label: dos\n%s,,c\n' $START | sfdisk -q disk.img
  mkfs.fat -F32 -s 8 -g 255/63 -h $START --offset $START disk.img $(((SECTORS - START) / 2)) >/dev/null
  head -c $((64 << 20)) /dev/urandom > big.bin
  mkdir 'Big directory'
  for i in $(seq -w 0 4999); do echo "$i" > "Big directory/$i file with a long name.txt"; done
  mcopy -i "disk.img@@$((START * 512))" big.bin ::/BIG.BIN
  mcopy -s -i "disk.img@@$((START * 512))" 'Big directory' ::/
  rm -rf big.bin 'Big directory'
}
make_bench_disk
