#!/bin/sh
# Compiles the exported header alone as strict C99 and C++20, warnings as
# errors, so that its layout checks hold: with cc and c++ (native), or with
# mingw-w64 against the real <windows.h> for 32-bit and 64-bit Windows
# (windows; exits 77, skipped, without the cross compilers).
#   check_header.sh native|windows INCLUDE_DIR...
set -u
mode=$1
shift
flags=$(for d in "$@"; do printf ' -I%s' "$d"; done)
src=$(mktemp --suffix=.c) || exit 2
trap 'rm -f "$src"' EXIT
printf '#include "wx5novl1.h"\nint main(void) { return 0; }\n' > "$src"
compile() {  # C_COMPILER CXX_COMPILER
  "$1" -std=c99 -Wall -Wextra -Werror -pedantic $flags -fsyntax-only "$src" &&
    "$2" -std=c++20 -Wall -Wextra -Werror -pedantic $flags -fsyntax-only -x c++ "$src" &&
    echo "$1: the header compiles as C99 and C++"
}
if [ "$mode" = native ]; then compile cc c++; exit; fi
found=0
for t in i686-w64-mingw32 x86_64-w64-mingw32; do
  command -v "$t-gcc" > /dev/null 2>&1 || continue
  found=1
  compile "$t-gcc" "$t-g++" || exit 1
done
[ $found = 1 ] || { echo "mingw-w64 not installed: skipped"; exit 77; }
