#!/usr/bin/env bash
# Compiles the exported header against the real <windows.h> with mingw-w64,
# as C99 and as C++, for 32-bit and 64-bit Windows: the 32-bit layout checks
# of the records with pointers and handles must hold there. Exits 77 (skip)
# when the cross compilers are missing.
set -u
include=$1
found=0
src=$(mktemp --suffix=.c)
printf '#include "wx5novl1.h"\nint main(void) { return 0; }\n' > "$src"
for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
  if ! command -v "$triple-gcc" >/dev/null 2>&1; then continue; fi
  found=1
  "$triple-gcc" -std=c99 -Wall -Wextra -Werror -pedantic -I"$include" -fsyntax-only "$src" || exit 1
  "$triple-g++" -std=c++20 -Wall -Wextra -Werror -I"$include" -fsyntax-only -x c++ "$src" || exit 1
  echo "$triple: header compiles as C99 and C++"
done
rm -f "$src"
if [ "$found" -eq 0 ]; then echo "mingw-w64 not installed: skipped"; exit 77; fi
exit 0
