#!/usr/bin/env bash
# Runs one command and compares its exit code, stdout and stderr with the
# expected files NAME.code, NAME.out and NAME.err (missing files: empty / 0).
# Paths in the output are relative to the source folder, where it runs.
set -u
name=$1
expected=$2
shift 2
out=$(mktemp)
err=$(mktemp)
"$@" > "$out" 2> "$err"
code=$?
fail=0
want_code=0
[ -f "$expected/$name.code" ] && want_code=$(cat "$expected/$name.code")
if [ "$code" != "$want_code" ]; then echo "exit code $code, expected $want_code"; fail=1; fi
for s in out err; do
  want="$expected/$name.$s"
  got=$out
  [ "$s" = err ] && got=$err
  if [ -f "$want" ]; then
    diff -u "$want" "$got" || fail=1
  elif [ -s "$got" ]; then
    echo "unexpected std$s:"; cat "$got"; fail=1
  fi
done
rm -f "$out" "$err"
exit $fail
