#!/bin/sh
# Decodes the example overlays natively and, built with mingw-w64 for 64-bit
# Windows (the reading half and the Win32 sibling libraries compiled in),
# under wine64; the two outputs must be the same. Exits 77 (skipped) when the
# cross compiler or wine64 is missing.
#   run_decode.sh SOURCE_DIR NATIVE_HOST WORK_DIR
set -u
src=$1
native=$2
work=$3
cxx=$(command -v x86_64-w64-mingw32-g++ || true)
. "$src/tests/support/wine.sh"
find_wine
wine=$WINE
if [ -z "$cxx" ] || [ -z "$wine" ]; then
  echo "SKIPPED: mingw-w64 (x86_64) or wine64 not found; decoding under Windows not compared"
  exit 77
fi
mkdir -p "$work/examples" || exit 2
cp "$src"/examples/*.ovl "$work/examples/" || exit 2
"$cxx" -O1 -std=c++20 -static -o "$work/decode_host.exe" -I"$src" -I"$src/include" -I"$src/host" -I"$src/platform/fileacc" \
  "$src"/tests/windows/decode_host.cpp "$src"/host/walk.cpp "$src"/overlay/*.cpp "$src"/decode/*.cpp \
  "$src"/platform/fileacc/fileacc_win32.cpp "$src"/platform/fileacc/aux0_win32.cpp \
  "$src"/platform/fileacc/win32_conv.cpp "$src"/platform/fileacc/table_conv.cpp || exit 2
( cd "$work" && "$native" examples/*.ovl ) > "$work/native.txt" 2>&1
( cd "$work" && run_in_wine "$work" "$work/wine.txt" "$work/wine.log" ./decode_host.exe examples/*.ovl )
status=$?
tr -d '\r' < "$work/wine.txt" > "$work/wine.unix.txt"
if [ $status -ne 0 ]; then echo "wine run failed (status $status)"; tail -5 "$work/wine.log"; exit 1; fi
if ! diff -u "$work/native.txt" "$work/wine.unix.txt"; then exit 1; fi
echo "decoded alike natively and under wine64: $(grep -c '^kind' "$work/native.txt") elements"
