#!/bin/sh
# Cross-builds the three DLLs for 64-bit (ARCH x86_64, the default) or 32-bit
# (ARCH i686) Windows and loads WX5NOVL1.dll in a small Windows host
# (dll_load.c) under wine64 or 32-bit wine. BUILD_DIR, when given, is a
# finished cross build of the DLLs to use instead.
#   run_dll_load.sh SOURCE_DIR WORK_DIR [ARCH [BUILD_DIR]]
set -u
src=$1
arch=${3:-x86_64}
work=$2/$arch
build=${4:-$work/build}
. "$src/tests/windows/mingw.sh"
mkdir -p "$work/run" || exit 2
if [ -z "${4:-}" ]; then
  { cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DWX5N_TESTS=OFF -DWX5N_BENCH=OFF -DWX5N_TOOLS=OFF &&
    cmake --build "$build" -j2 --target wx5novl1 wx5nfacc wx5naux0; } > "$work/build.log" 2>&1 \
    || { tail -40 "$work/build.log"; exit 2; }
fi
copy_dlls "$build" "$work/run" && cp "$src/examples/business.ovl" "$src/tests/windows/dll_calls.txt" "$work/run/" \
  || exit 2
grep -oE 'FOCALL [A-Za-z_0-9]+\(' "$src/include/wx5novl1.h" | sed -E 's/FOCALL (.*)\(/\1/' | sort > "$work/declared"
grep -v '^#' "$src/tests/windows/dll_calls.txt" | cut -d' ' -f1 | sort | diff "$work/declared" - \
  || { echo "dll_calls.txt does not call every function of the header once (<: missing, >: not declared)"; exit 1; }
"$cc" -O1 -std=c11 -Wall -Wextra -Werror -I"$src/include" -o "$work/run/dll_load.exe" \
  "$src/tests/windows/dll_load.c" -lgdi32 || exit 2
run_in_wine "$work/run" "$work/out.txt" "$work/wine.log" ./dll_load.exe business.ovl dll_calls.txt
status=$?
cat "$work/out.txt"
[ $status -eq 0 ] && grep -q "^ok" "$work/out.txt"
