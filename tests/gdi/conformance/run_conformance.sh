#!/bin/sh
# Builds the conformance scenarios with mingw-w64 against the real gdi32,
# runs them under wine64 in a fresh prefix and compares their pixels with
# swgdi's (the native runner); skipped (77) without the cross tools or wine64.
# The hatch bitmaps go into a resource-only WX5NOVL1.DLL built from the
# resource script hatch_resgen writes, so LoadBitmapA is compared too.
#   run_conformance.sh SOURCE_DIR NATIVE_RUNNER WORK_DIR HATCH_RESGEN
set -u
here=$1 runner=$2 work=$3 resgen=$4
src=$here/../../.. arch=x86_64
. "$src/tests/windows/mingw.sh"
mkdir -p "$work/res" && "$resgen" "$work/res" || exit 2
printf 'int __stdcall DllMain(void *h, unsigned r, void *p) { return 1; }\n' > "$work/res/dllmain.c"
( cd "$work/res" && "$windres" hatch_bitmaps.rc -O coff -o hatch_res.o ) || exit 2
"$cc" -shared -o "$work/WX5NOVL1.DLL" "$work/res/dllmain.c" "$work/res/hatch_res.o" || exit 2
"$cxx" -O1 -std=c++17 -static -o "$work/conformance.exe" "$here/scenarios.cpp" "$here/runner.cpp" -lgdi32 || exit 2
rm -f "$work/reference.txt"
run_in_wine "$work" "$work/wine.log" - ./conformance.exe reference.txt
status=$?
if [ $status -ne 0 ] || [ ! -s "$work/reference.txt" ]; then
  echo "wine run failed (status $status); see $work/wine.log"; tail -5 "$work/wine.log"; exit 2
fi
exec "$runner" --compare "$work/reference.txt"
