# Helpers for the acceptance scripts: a scratch folder and a golden compare.
set -u
BIN=$1
WORK=$(mktemp -d)
trap 'chattr -i "$WORK"/* 2>/dev/null; rm -rf "$WORK"' EXIT
FAILURES=0

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
  [ "$FAILURES" -eq 0 ]
}
