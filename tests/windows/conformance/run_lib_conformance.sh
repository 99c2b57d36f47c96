#!/bin/sh
# Builds the library's drawing sources and its conformance scenarios with
# mingw-w64 against the real gdi32, runs them under wine64 in a fresh
# prefix, and compares their pixels with the library drawing on swgdi (the
# native runner). Exits 77 (skipped) when the cross compiler or wine64 is
# missing.
# The hatch bitmaps go into a resource-only WX5NOVL1.DLL built from the
# resource script hatch_resgen writes; the runner loads it so that
# foGetHatchBrush finds the module by its name.
#   run_lib_conformance.sh PROJECT_DIR NATIVE_RUNNER WORK_DIR HATCH_RESGEN
set -u
top=$1
runner=$2
work=$3
resgen=$4
here=$top/tests/windows/conformance

cxx=$(command -v x86_64-w64-mingw32-g++ || true)
windres=$(command -v x86_64-w64-mingw32-windres || true)
. "$top/tests/support/wine.sh"
find_wine
wine=$WINE
if [ -z "$cxx" ] || [ -z "$windres" ]; then
  echo "SKIPPED: x86_64-w64-mingw32-g++ or windres not found; library conformance not run"
  exit 77
fi
if [ -z "$wine" ]; then
  echo "SKIPPED: wine64 not found; library conformance not run"
  exit 77
fi

mkdir -p "$work/res" "$work/obj" || exit 2
"$resgen" "$work/res" || exit 2
printf 'int __stdcall DllMain(void *h, unsigned r, void *p) { return 1; }\n' > "$work/res/dllmain.c"
( cd "$work/res" && "$windres" hatch_bitmaps.rc -O coff -o hatch_res.o ) || exit 2
"${cxx%g++}gcc" -shared -o "$work/WX5NOVL1.DLL" "$work/res/dllmain.c" "$work/res/hatch_res.o" || exit 2

# The drawing half links alone: it calls nothing of the reading half. Two
# compilers at a time, one object per source.
flags="-O1 -std=c++20 -I$top -I$top/include -I$top/platform/fileacc"
rm -f "$work"/obj/*.o
objs=""
pids=""
n=0
for s in "$top"/draw/*.cpp "$here/lib_scenarios.cpp" "$here/lib_runner.cpp"; do
  o="$work/obj/$(basename "$s" .cpp).o"
  objs="$objs $o"
  "$cxx" $flags -c -o "$o" "$s" &
  pids="$pids $!"
  n=$((n + 1))
  if [ $n -ge 2 ]; then
    for p in $pids; do wait "$p" || exit 2; done
    pids=""
    n=0
  fi
done
for p in $pids; do wait "$p" || exit 2; done
"$cxx" -static -o "$work/lib_conformance.exe" $objs -lgdi32 -luser32 || exit 2

rm -f "$work/reference.txt"
run_in_wine "$work" "$work/wine.log" - ./lib_conformance.exe reference.txt
status=$?
if [ $status -ne 0 ] || [ ! -s "$work/reference.txt" ]; then
  echo "wine run failed (status $status); see $work/wine.log"
  tail -5 "$work/wine.log"
  exit 2
fi
exec "$runner" --compare "$work/reference.txt"
