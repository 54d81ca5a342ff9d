#!/usr/bin/env bash
# The damaged-image corpus. For each NAME given (every NAME.disk here when
# none is): brovane-mkimage builds NAME.disk into a scratch folder, and
# brovane-batch runs NAME.batch on a fresh copy of the image, once through
# the device paths and once with --disk-library. Each run's output, followed
# by the bytes the run changed on its copy, is compared with NAME.out by
# diff -u; the disk-library run with NAME.library.out where that exists
# (where the library addresses the disk otherwise, its view differs), and
# with the script NAME.library.batch where that exists (where items of the
# device-path view do not exist for the library).
#
# A line "# drive: floppy" in NAME.disk attaches the image with --floppy.
# Usage: run.sh [--update] BIN_DIR [NAME...]
#   --update writes the outputs as the expected ones (read them before
#   committing: they must show what the program should do).
set -u
UPDATE=0
if [ "${1:-}" = "--update" ]; then
  UPDATE=1
  shift
fi
BIN=$1
shift
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

names=("$@")
if [ "${#names[@]}" -eq 0 ]; then
  for disk in "$HERE"/*.disk; do
    names+=("$(basename "$disk" .disk)")
  done
fi

# The bytes that differ between two images, as one line per sector:
# "image: sector S bytes A-B changed" (A and B counted in the sector), and
# a line for a size that changed.
changes() {
  local before after
  before=$(stat -c %s "$1")
  after=$(stat -c %s "$2")
  [ "$before" = "$after" ] || echo "image: size $before -> $after bytes"
  cmp -l "$1" "$2" 2>/dev/null | awk -v resized=$([ "$before" = "$after" ]; echo $?) '
    { byte = $1 - 1; sector = int(byte / 512); at = byte % 512
      if (!(sector in first)) { first[sector] = at; order[++n] = sector }
      last[sector] = at }
    END {
      if (n == 0 && !resized) print "image: unchanged"
      for (i = 1; i <= n; i++) {
        s = order[i]
        printf "image: sector %d bytes %d-%d changed\n", s, first[s], last[s]
      }
    }'
}

# Runs a script on a copy of NAME's image; extra arguments go to brovane-batch.
run_script() {
  local name=$1 drive=$2 script=$3
  shift 3
  cp --sparse=always "$WORK/$name.img" "$WORK/$name.copy"
  "$BIN/brovane-batch" "$drive" "$WORK/$name.copy" "$@" "$script" 2>&1
  local code=$?
  [ "$code" -eq 0 ] || echo "exit: $code"
  changes "$WORK/$name.img" "$WORK/$name.copy"
}

failures=0
for name in "${names[@]}"; do
  if ! "$BIN/brovane-mkimage" "$HERE/$name.disk" "$WORK/$name.img"; then
    echo "FAIL: $name: the image cannot be built"
    failures=$((failures + 1))
    continue
  fi
  drive=--disk
  grep -qx '# drive: floppy' "$HERE/$name.disk" && drive=--floppy
  library_script=$HERE/$name.batch
  [ -f "$HERE/$name.library.batch" ] && library_script=$HERE/$name.library.batch
  run_script "$name" "$drive" "$HERE/$name.batch" > "$WORK/$name.device"
  run_script "$name" "$drive" "$library_script" --disk-library > "$WORK/$name.library"
  if [ "$UPDATE" -eq 1 ]; then
    cp "$WORK/$name.device" "$HERE/$name.out"
    if cmp -s "$WORK/$name.device" "$WORK/$name.library"; then
      rm -f "$HERE/$name.library.out"
    else
      cp "$WORK/$name.library" "$HERE/$name.library.out"
    fi
    echo "updated: $name"
    continue
  fi
  library_expected=$HERE/$name.out
  [ -f "$HERE/$name.library.out" ] && library_expected=$HERE/$name.library.out
  for mode in device library; do
    expected=$HERE/$name.out
    [ "$mode" = library ] && expected=$library_expected
    if diff -u --label "$(basename "$expected")" --label "$name ($mode)" \
      "$expected" "$WORK/$name.$mode"; then
      echo "ok: $name ($mode)"
    else
      echo "FAIL: $name ($mode)"
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" -eq 0 ]
