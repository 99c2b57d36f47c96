#!/usr/bin/env bash
# Runs one case of a command-line table: tab-separated lines of name, exit
# status, command, expected stderr (\n between lines, - for none) and a check
# that must then succeed (- for none). The command runs under bash with
# pipefail in an empty folder beside ex/ (the examples) and data/ (this
# folder's data), i.e. as ../ex and ../data, with the tool (and the ink
# comparison, when given) on PATH; its stdout is ../stdout for the check, and
# must equal expected/NAME.out when there is one. As root, "$asuser" runs a
# command as nobody, so permission checks are real.
set -u
table=$1 name=$2 ovl=$3 src=$4 agree=${5:-}
line=$(awk -F'\t' -v n="$name" '$1 == n' "$table")
[ -n "$line" ] || { echo "no case $name in $table"; exit 1; }
IFS=$'\t' read -r _ want cmd want_err check <<< "$line"
dir=$(mktemp -d)
trap 'chmod -R u+rwx "$dir"; rm -rf "$dir"' EXIT
chmod 755 "$dir"
mkdir -m 777 "$dir/w" && mkdir "$dir/bin" && ln -s "$src/examples" "$dir/ex" && ln -s "$src/tests/tools/data" "$dir/data" &&
  ln -s "$ovl" "$dir/bin/ovl" && { [ -z "$agree" ] || ln -s "$agree" "$dir/bin/ink_agreement"; } && cd "$dir/w" || exit 1
export asuser="" PATH="$dir/bin:$PATH"
[ "$(id -u)" = 0 ] && asuser="setpriv --reuid=65534 --regid=65534 --clear-groups"
bash -o pipefail -c "$cmd" > ../stdout 2> ../stderr
code=$? fail=0
if [ "$code" != "$want" ]; then echo "exit status $code, expected $want"; fail=1; fi
if [ "$want_err" = "-" ]; then : > ../want; else printf '%b\n' "$want_err" > ../want; fi
diff -u ../want ../stderr || fail=1
golden=$src/tests/tools/expected/$name.out
[ ! -f "$golden" ] || diff -u "$golden" ../stdout || fail=1
if [ "$check" != "-" ] && ! bash -o pipefail -c "$check"; then echo "check failed: $check"; fail=1; fi
exit $fail
