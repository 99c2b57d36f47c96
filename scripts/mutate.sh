#!/bin/sh
# Mutation check: applies small faults to the library's and swgdi's sources one
# at a time, rebuilds incrementally, runs the native test binaries and reports
# which faults the suite noticed.
#
#   scripts/mutate.sh [-n COUNT] [-s SEED] [-j JOBS] [-B BUILD_DIR] [-t SECONDS]
#                     [-l LIST] [-o REPORT] [-x CTEST_REGEX] [-T TARGETS]
#                     [-m MATRIX]
#
# -n  how many mutants to sample (150)          -s  sampling seed (14)
# -j  build jobs and test binaries run at once  -B  configured build dir (build)
# -t  time limit per test binary, seconds (60)  -x  extra ctest tests to run
# -T  targets the extra ctest tests need ("ovl ink_agreement")
# -l  mutant list to read (written by a former run) instead of sampling one
# -o  report file (mutate-report.txt in the build dir)
# -m  kill matrix to write: every test binary runs whole and each mutant's line
#     names every test that failed (slower; shows which tests nothing else
#     replaces)
#
# Mutants: relational boundaries (< <=, > >=), negated equality (== !=),
# arithmetic (+ -, += -=) and logic (&& ||), taken only where the operator
# stands between spaces in code (not in comments, strings or directives), so
# template brackets and pointers are left alone. The same seed over the same
# sources gives the same list; -l replays a list exactly. A mutant is killed
# when a test binary fails or runs out of time, and stillborn when it does not
# build (left out of the rate). Every source is restored after its mutant,
# also on interrupt.
set -eu

count=150 seed=14 jobs=1 build=build limit=60 list= report= matrix= extra='^ovl\.' extraTargets='ovl ink_agreement'
while getopts n:s:j:B:t:l:o:x:T:m: opt; do
  case $opt in
    n) count=$OPTARG ;; s) seed=$OPTARG ;; j) jobs=$OPTARG ;; B) build=$OPTARG ;;
    t) limit=$OPTARG ;; l) list=$OPTARG ;; o) report=$OPTARG ;; x) extra=$OPTARG ;;
    T) extraTargets=$OPTARG ;; m) matrix=$OPTARG ;;
    *) echo "usage: $0 [-n N] [-s SEED] [-j JOBS] [-B BUILD] [-t SEC] [-l LIST] [-o REPORT] [-x REGEX] [-T TARGETS]" >&2
       exit 2 ;;
  esac
done
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ -f "$build/build.ninja" ] || [ -f "$build/Makefile" ] || {
  echo "mutate.sh: $build is not a configured build directory" >&2; exit 2; }
build=$(cd "$build" && pwd)
report=${report:-$build/mutate-report.txt}
work=$(mktemp -d)
backup=

restore() {
  if [ -n "$backup" ]; then cp "$work/orig" "$backup" && touch "$backup"; backup=; fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# A change to a shared library (swgdi, the library) need not relink its users.
cmake -S . -B "$build" -DCMAKE_LINK_DEPENDS_NO_SHARED=ON >"$work/build.log" 2>&1 || {
  cat "$work/build.log" >&2; exit 1; }
# The native GoogleTest binaries: every executable the test folders register,
# and the tool the extra ctest tests run.
gtests=$(sed -n 's/^ *wx5n_add_gtest(\([A-Za-z0-9_]*\).*/\1/p' tests/*/CMakeLists.txt | sort -u)
targets=$gtests
[ -z "$extra" ] || targets="$targets $extraTargets"
echo "building the suite once: $(echo $targets | wc -w) test binaries"
cmake --build "$build" -j "$jobs" --target $targets >"$work/build.log" 2>&1 || {
  cat "$work/build.log" >&2; echo "mutate.sh: the unmutated build fails" >&2; exit 1; }
bins=
for t in $gtests; do
  b=$(find "$build" -type f -perm -u+x -name "$t" | head -n 1)
  [ -n "$b" ] && bins="$bins $b"
done

# run_suite: 0 when every binary and the extra ctest tests pass.
run_suite() {
  [ -z "$matrix" ] || { run_matrix; return; }
  printf '%s\n' $bins | xargs -P "$jobs" -I{} sh -c \
    'timeout -k 5 '"$limit"' "{}" --gtest_brief=1 --gtest_fail_fast >/dev/null 2>&1 || { echo "$(basename "{}")"; exit 255; }' \
    >"$work/failed" 2>/dev/null || return 1
  if [ -n "$extra" ]; then
    ctest --test-dir "$build" -R "$extra" -LE conformance -j "$jobs" --timeout "$limit" \
      >/dev/null 2>&1 || { echo "ctest $extra" >"$work/failed"; return 1; }
  fi
}
# run_matrix: like run_suite, but runs everything and lists each failing test
# (binary:Suite.Name, binary:timeout, or ctest:name) in $work/failed.
run_matrix() {
  printf '%s\n' $bins | xargs -P "$jobs" -I{} sh -c \
    'out=$(timeout -k 5 '"$limit"' "{}" --gtest_brief=1 2>&1); rc=$?; b=$(basename "{}")
     [ $rc -eq 0 ] && exit 0
     [ $rc -ge 124 ] && echo "$b:timeout-or-crash"
     printf "%s\n" "$out" | sed -n "s/^\[  FAILED  \] \([A-Za-z0-9_./]*\).*/$b:\1/p" | sort -u' \
    >"$work/failed" 2>/dev/null
  if [ -n "$extra" ]; then
    ctest --test-dir "$build" -R "$extra" -LE conformance -j "$jobs" --timeout "$limit" 2>/dev/null |
      sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/ctest:\1/p' >>"$work/failed"
  fi
  [ ! -s "$work/failed" ]
}
run_suite || { echo "mutate.sh: the suite fails before any mutant:" >&2; cat "$work/failed" >&2; exit 1; }

if [ -z "$list" ]; then
  list=$build/mutants.txt
  python3 - "$seed" "$count" >"$list" <<'EOF'
import glob, random, re, sys
seed, count = int(sys.argv[1]), int(sys.argv[2])
swap = {'<': '<=', '<=': '<', '>': '>=', '>=': '>', '==': '!=', '!=': '==',
        '+': '-', '-': '+', '+=': '-=', '-=': '+=', '&&': '||', '||': '&&'}
op = re.compile(r'(?<= )(<=|>=|==|!=|\+=|-=|&&|\|\||<|>|\+|-)(?= )')
lit = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')
sites = []
files = sorted(f for d in ('overlay', 'decode', 'draw', 'platform/gdi')
               for f in glob.glob(d + '/*.cpp'))
for path in files:
    in_block = False
    for no, text in enumerate(open(path, encoding='utf-8'), 1):
        code = lit.sub(lambda m: 'x' * len(m.group()), text.rstrip('\n'))
        if in_block:
            end = code.find('*/')
            if end < 0:
                continue
            code, in_block = ' ' * (end + 2) + code[end + 2:], False
        start = code.find('/*')
        if start >= 0 and code.find('*/', start) < 0:
            code, in_block = code[:start], True
        code = re.sub(r'/\*.*?\*/', lambda m: ' ' * len(m.group()), code)
        code = code.split('//')[0]
        if code.lstrip().startswith('#'):
            continue
        for m in op.finditer(code):
            sites.append((path, no, m.start(), m.group(), swap[m.group()]))
random.Random(seed).shuffle(sites)
for s in sorted(sites[:count]):
    print('%s:%d:%d:%s:%s' % s)
EOF
fi
total=$(wc -l <"$list")
echo "$total mutants from $list (seed $seed)" | tee "$report"

i=0 killed=0 survived=0 stillborn=0
while IFS=: read -r file line col from to <&3; do
  i=$((i + 1))
  cp "$file" "$work/orig"
  backup=$file
  python3 - "$file" "$line" "$col" "$from" "$to" <<'EOF' || { restore; echo "[$i/$total] $file:$line: list does not match the source" | tee -a "$report"; continue; }
import sys
path, line, col, old, new = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], sys.argv[5]
rows = open(path, encoding='utf-8').read().split('\n')
row = rows[line - 1]
if row[col:col + len(old)] != old or row[col + len(old)] != ' ':
    sys.exit(1)
rows[line - 1] = row[:col] + new + row[col + len(old):]
open(path, 'w', encoding='utf-8').write('\n'.join(rows))
EOF
  what="$file:$line: '$from' -> '$to'  ($(sed -n "${line}p" "$work/orig" | sed 's/^ *//'))"
  if ! cmake --build "$build" -j "$jobs" --target $targets >"$work/build.log" 2>&1; then
    verdict=stillborn; stillborn=$((stillborn + 1))
  elif run_suite; then
    verdict=SURVIVED; survived=$((survived + 1))
  else
    verdict="killed by $(head -n 1 "$work/failed")"; killed=$((killed + 1))
  fi
  restore
  echo "[$i/$total] $verdict: $what" | tee -a "$report"
  [ -z "$matrix" ] || echo "$file:$line:$col:$from:$to $(sort -u "$work/failed" | tr '\n' ' ')" >>"$matrix"
done 3<"$list"

# Leave the build as the sources are.
cmake --build "$build" -j "$jobs" --target $targets >/dev/null 2>&1 || true
judged=$((killed + survived))
rate=$(awk -v k="$killed" -v n="$judged" 'BEGIN { if (n) printf "%.1f", 100 * k / n; else print "n/a" }')
echo "killed $killed of $judged ($rate%), $stillborn stillborn; report in $report" | tee -a "$report"
