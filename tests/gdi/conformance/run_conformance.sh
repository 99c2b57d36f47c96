#!/bin/sh
# Builds the conformance scenarios with mingw-w64 against the real gdi32,
# runs them under wine64 in a fresh prefix, and compares their pixels with
# swgdi's (the native runner). Exits 77 (skipped) when the cross compiler or
# wine64 is missing.
# The hatch bitmaps go into a resource-only WX5NOVL1.DLL built from the
# resource script hatch_resgen writes, so LoadBitmapA is compared too.
#   run_conformance.sh SOURCE_DIR NATIVE_RUNNER WORK_DIR HATCH_RESGEN
set -u
src=$1
runner=$2
work=$3
resgen=$4

cxx=$(command -v x86_64-w64-mingw32-g++ || true)
. "$src/../../../tests/support/wine.sh"
find_wine
wine=$WINE
if [ -z "$cxx" ]; then
  echo "SKIPPED: x86_64-w64-mingw32-g++ not found; conformance against real GDI not run"
  exit 77
fi
if [ -z "$wine" ]; then
  echo "SKIPPED: wine64 not found; conformance against real GDI not run"
  exit 77
fi

mkdir -p "$work/res" || exit 2
windres=$(command -v x86_64-w64-mingw32-windres || true)
if [ -n "$windres" ]; then
  "$resgen" "$work/res" || exit 2
  printf 'int __stdcall DllMain(void *h, unsigned r, void *p) { return 1; }\n' > "$work/res/dllmain.c"
  ( cd "$work/res" && "$windres" hatch_bitmaps.rc -O coff -o hatch_res.o ) || exit 2
  "${cxx%g++}gcc" -shared -o "$work/WX5NOVL1.DLL" "$work/res/dllmain.c" "$work/res/hatch_res.o" || exit 2
fi
"$cxx" -O1 -std=c++17 -static -o "$work/conformance.exe" \
  "$src/scenarios.cpp" "$src/runner.cpp" -lgdi32 || exit 2

rm -f "$work/reference.txt"
run_in_wine "$work" "$work/wine.log" - ./conformance.exe reference.txt
status=$?
if [ $status -ne 0 ] || [ ! -s "$work/reference.txt" ]; then
  echo "wine run failed (status $status); see $work/wine.log"
  tail -5 "$work/wine.log"
  exit 2
fi
exec "$runner" --compare "$work/reference.txt"
