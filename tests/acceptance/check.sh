# Helpers for the acceptance scripts: a scratch folder and a golden compare.
set -u
BIN=$1
WORK=$(mktemp -d)
trap 'chattr -i "$WORK"/* 2>/dev/null; rm -rf "$WORK"' EXIT
FAILURES=0
# In a sanitizer build every report goes to a file here, so that it fails
# the script whatever became of the program's own output and exit status.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$WORK/sanitizer"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}log_path=$WORK/sanitizer"

# expect NAME EXPECTED ACTUAL: compares two texts, shows the difference.
expect() {
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1"
    diff -u <(printf '%s\n' "$2") <(printf '%s\n' "$3")
    FAILURES=$((FAILURES + 1))
  else
    echo "ok: $1"
  fi
}

finish() {
  local report
  for report in "$WORK"/sanitizer.*; do
    [ -e "$report" ] || continue
    echo "FAIL: sanitizer report $(basename "$report")"
    cat "$report"
    FAILURES=$((FAILURES + 1))
  done
  [ "$FAILURES" -eq 0 ]
}
