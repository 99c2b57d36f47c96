#!/bin/sh
# Decodes the example overlays natively and, built with mingw-w64 for ARCH
# (x86_64 or i686), under that width's wine; the outputs must be the same.
# Without DLL_BUILD the reading half and the Win32 sibling libraries are
# compiled into the Windows host; with it, the host calls WX5NOVL1.dll.
#   run_decode.sh SOURCE_DIR NATIVE_HOST WORK_DIR [ARCH [DLL_BUILD]]
set -u
src=$1
native=$2
arch=${4:-x86_64}
work=$3/$arch
dlls=${5:-}
. "$src/tests/windows/mingw.sh"
mkdir -p "$work/examples" && cp "$src"/examples/*.ovl "$work/examples/" || exit 2
rm -f "$work/decode_host.exe"
host="$src/tests/windows/decode_host.cpp $src/host/walk.cpp"
if [ -n "$dlls" ]; then
  copy_dlls "$dlls" "$work" || exit 2
  set -- $host "$dlls/libWX5NOVL1.dll.a"
else
  fileacc=$src/platform/fileacc
  set -- -I"$fileacc" $host "$src"/overlay/*.cpp "$src"/decode/*.cpp "$fileacc/fileacc_win32.cpp" \
    "$fileacc/aux0_win32.cpp" "$fileacc/win32_conv.cpp" "$fileacc/table_conv.cpp"
fi
"$cxx" -O1 -std=c++20 -static -o "$work/decode_host.exe" -I"$src" -I"$src/include" -I"$src/host" "$@" || exit 2
if ! ( cd "$work" && "$native" examples/*.ovl ) > "$work/native.txt" 2>&1; then
  echo "native run failed"; tail -5 "$work/native.txt"; exit 1
fi
( cd "$work" && run_in_wine "$work" "$work/wine.txt" "$work/wine.log" ./decode_host.exe examples/*.ovl )
status=$?
tr -d '\r' < "$work/wine.txt" > "$work/wine.unix.txt"
if [ $status -ne 0 ]; then echo "wine run failed (status $status)"; tail -5 "$work/wine.log"; exit 1; fi
diff -u "$work/native.txt" "$work/wine.unix.txt" || exit 1
echo "decoded alike natively and under $WINE_NAME: $(grep -c '^kind' "$work/native.txt") elements"
