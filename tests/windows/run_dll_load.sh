#!/bin/sh
# Cross-builds the three DLLs for 64-bit Windows and loads WX5NOVL1.dll in a
# small Windows host under wine64 (dll_load.c). Exits 77 (skipped) without
# mingw-w64 (x86_64) or wine64.
#   run_dll_load.sh SOURCE_DIR WORK_DIR
set -u
src=$1
work=$2
cc=$(command -v x86_64-w64-mingw32-gcc || true)
. "$src/tests/support/wine.sh"
find_wine
wine=$WINE
if [ -z "$cc" ] || [ -z "$wine" ]; then
  echo "SKIPPED: mingw-w64 (x86_64) or wine64 not found; the DLL is not loaded"
  exit 77
fi
mkdir -p "$work/run" || exit 2
cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DWX5N_TESTS=OFF -DWX5N_BENCH=OFF -DWX5N_TOOLS=OFF > "$work/build.log" 2>&1 \
  || { tail -20 "$work/build.log"; exit 2; }
cmake --build "$work/build" -j2 --target wx5novl1 wx5nfacc wx5naux0 >> "$work/build.log" 2>&1 \
  || { tail -40 "$work/build.log"; exit 2; }
cp "$work/build/WX5NOVL1.dll" "$work/build/platform/fileacc/WX5NFACC.dll" \
   "$work/build/platform/fileacc/WX5NAUX0.dll" "$src/examples/business.ovl" "$work/run/" || exit 2
grep -oE 'FOCALL [A-Za-z_0-9]+\(' "$src/include/wx5novl1.h" |
  sed -E 's/FOCALL ([A-Za-z_0-9]+)\(/    "\1",/' > "$work/names.inc"
{ echo "static const char* const kNames[] = {"; cat "$work/names.inc"; echo "};"; } > "$work/dll_names.h"
"$cc" -O1 -std=c99 -I"$src/include" -I"$work" -o "$work/run/dll_load.exe" "$src/tests/windows/dll_load.c" \
  -lgdi32 || exit 2
run_in_wine "$work/run" "$work/out.txt" "$work/wine.log" ./dll_load.exe business.ovl
status=$?
cat "$work/out.txt"
[ $status -eq 0 ] && grep -q "^ok" "$work/out.txt"
