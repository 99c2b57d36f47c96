#!/usr/bin/env bash
# Cross-builds WX5NOVL1.DLL, WX5NFACC.dll and WX5NAUX0.dll for 32-bit Windows
# and checks the DLL statically: it exports exactly the header's functions
# under their plain names, imports the file functions by name and the size
# query by ordinal 5, links the real GDI, USER and KERNEL, and carries the 17
# hatch bitmaps as 80-byte BITMAP resources 101 to 117 in language 1041.
# Exits 77 (skipped) without the mingw-w64 cross compilers.
set -u
src=$1
build=$2
command -v i686-w64-mingw32-g++ > /dev/null 2>&1 || { echo "mingw-w64 (i686) not installed: skipped"; exit 77; }
# No WX5N_* switches: a cross build leaves the native tests, benchmarks and
# tool out by itself.
{ cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release && cmake --build "$build" -j2 --target wx5novl1 wx5nfacc wx5naux0; } \
  > "$build.log" 2>&1 || { tail -40 "$build.log"; exit 1; }
dll="$build/WX5NOVL1.dll"
dump=$(i686-w64-mingw32-objdump -p "$dll")
fail=0
bad() { echo "$*"; fail=1; }
file "$dll" | grep -q "PE32 executable (DLL).*80386" || bad "not a 32-bit x86 DLL"

declared=$(grep -oE 'FOCALL [A-Za-z_0-9]+\(' "$src/include/wx5novl1.h" | sed -E 's/FOCALL ([A-Za-z_0-9]+)\(/\1/' | sort)
exported=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | tail -n +2 | grep -oE '\] [A-Za-z_0-9@]+$' | awk '{print $2}' | sort)
[ "$declared" = "$exported" ] || { bad "exports differ from the header:"; diff <(echo "$declared") <(echo "$exported"); }

imports() { sed -n "/DLL Name: $1/,/^\$/p" <<<"$dump"; }
for f in fcsopenfile fcsread fcslseek fcsclose ebhkztosjis miconv_relase; do
  imports WX5NFACC.dll | grep -qE "[0-9]+ +$f\$" || bad "no import of $f by name from WX5NFACC.dll"
done
imports WX5NAUX0.dll | grep -qE "80000005[[:space:]]+5[[:space:]]+<none>" || bad "no import of ordinal 5 from WX5NAUX0.dll"
for lib in GDI32.dll USER32.dll KERNEL32.dll; do grep -q "DLL Name: $lib" <<<"$dump" || bad "no import from $lib"; done

res=$(i686-w64-mingw32-objdump -x "$dll" | sed -n '/The .rsrc Resource Directory section/,/^$/p')
grep -q "Entry: ID: 0x000002, " <<<"$res" || bad "no BITMAP resources"
for id in $(seq 101 117); do
  grep -A3 "Entry: ID: $(printf '0x%06x' "$id")," <<<"$res" | grep -q "Entry: ID: 0x000411" || bad "bitmap $id not in language 1041"
done
[ "$(grep -c 'Size: 0x000050' <<<"$res")" -eq 17 ] || bad "not 17 bitmaps of 80 bytes"
echo "WX5NOVL1.dll: $(echo "$exported" | wc -l) exports, imports and resources checked"
exit $fail
