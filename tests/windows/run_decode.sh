#!/bin/sh
# Decodes the example overlays natively and, built with mingw-w64 for 64-bit
# (ARCH x86_64, the default) or 32-bit (ARCH i686) Windows, under wine64 or
# 32-bit wine; the two outputs must be the same. Without DLL_BUILD the reading
# half and the Win32 sibling libraries are compiled into the Windows host;
# with DLL_BUILD, a cross build of the three DLLs, the host calls
# WX5NOVL1.dll itself. Exits 77 (skipped) when the cross compiler or the wine
# of that width is missing.
#   run_decode.sh SOURCE_DIR NATIVE_HOST WORK_DIR [ARCH [DLL_BUILD]]
set -u
src=$1
native=$2
work=$3
arch=${4:-x86_64}
dlls=${5:-}
. "$src/tests/support/wine.sh"
case $arch in
  x86_64) find_wine 64 ;;
  i686) find_wine 32 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
cxx=$(command -v "$arch-w64-mingw32-g++" || true)
if [ -z "$cxx" ] || [ -z "$WINE" ]; then
  echo "SKIPPED: mingw-w64 ($arch) or $WINE_NAME not found; decoding under Windows not compared"
  exit 77
fi
mkdir -p "$work/examples" || exit 2
cp "$src"/examples/*.ovl "$work/examples/" || exit 2
rm -f "$work/decode_host.exe"
if [ -n "$dlls" ]; then
  cp "$dlls/WX5NOVL1.dll" "$dlls/platform/fileacc/WX5NFACC.dll" "$dlls/platform/fileacc/WX5NAUX0.dll" \
     "$work/" || exit 2
  "$cxx" -O1 -std=c++20 -static -o "$work/decode_host.exe" -I"$src" -I"$src/include" -I"$src/host" \
    "$src"/tests/windows/decode_host.cpp "$src"/host/walk.cpp "$dlls/libWX5NOVL1.dll.a" || exit 2
else
  "$cxx" -O1 -std=c++20 -static -o "$work/decode_host.exe" -I"$src" -I"$src/include" -I"$src/host" -I"$src/platform/fileacc" \
    "$src"/tests/windows/decode_host.cpp "$src"/host/walk.cpp "$src"/overlay/*.cpp "$src"/decode/*.cpp \
    "$src"/platform/fileacc/fileacc_win32.cpp "$src"/platform/fileacc/aux0_win32.cpp \
    "$src"/platform/fileacc/win32_conv.cpp "$src"/platform/fileacc/table_conv.cpp || exit 2
fi
if ! ( cd "$work" && "$native" examples/*.ovl ) > "$work/native.txt" 2>&1; then
  echo "native run failed"; tail -5 "$work/native.txt"; exit 1
fi
( cd "$work" && run_in_wine "$work" "$work/wine.txt" "$work/wine.log" ./decode_host.exe examples/*.ovl )
status=$?
tr -d '\r' < "$work/wine.txt" > "$work/wine.unix.txt"
if [ $status -ne 0 ]; then echo "wine run failed (status $status)"; tail -5 "$work/wine.log"; exit 1; fi
if ! diff -u "$work/native.txt" "$work/wine.unix.txt"; then exit 1; fi
echo "decoded alike natively and under $WINE_NAME: $(grep -c '^kind' "$work/native.txt") elements"
