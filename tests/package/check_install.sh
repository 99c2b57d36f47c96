#!/bin/sh
# Installs the build into a fresh prefix and uses it as an integrator does:
# the expected files are there; the shared libraries carry their versioned
# sonames and no RUNPATH (nor does the tool); each exports exactly the names
# its installed headers declare; the example host builds from a separate
# CMake project through find_package and with pkg-config alone, and both
# builds draw every element of every example overlay. A static build gives
# archives: only the files and the two consumers are checked.
#   check_install.sh SOURCE_DIR BUILD_DIR WORK_DIR shared|static
set -u
src=$1
build=$2
work=$3
kind=$4
prefix=$work/prefix
rm -rf "$work" && mkdir -p "$work" || exit 2
cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
fail=0
bad() { echo "$*"; fail=1; }
libdir=$(cd "$(dirname "$(find "$prefix" -name wx5novl1.pc | head -n 1)")/.." && pwd)
if [ "$kind" = static ]; then so=a; else so=so.1; fi
inc=$prefix/include/wx5novl1
for f in "$inc/wx5novl1.h" "$inc/wx5novl1_gdi.h" "$inc/wx5nhost.h" "$inc/swgdi.h" "$inc/swgdi_path.h" \
         "$inc/wx5nfacc.h" "$inc/wx5naux0.h" "$inc/ovlwriter.h" "$inc/elements.h" \
         "$libdir/libwx5novl1.$so" "$libdir/libwx5nhost.$so" "$libdir/libswgdi.$so" \
         "$libdir/libwx5nfacc.$so" "$libdir/libwx5naux0.$so" "$libdir/libovlwriter.a" \
         "$libdir/cmake/wx5novl1/wx5novl1Config.cmake" "$libdir/cmake/wx5novl1/wx5novl1Targets.cmake" \
         "$libdir/pkgconfig/wx5novl1.pc" "$libdir/pkgconfig/wx5nhost.pc" "$libdir/pkgconfig/swgdi.pc" \
         "$prefix/bin/ovl" "$prefix/share/man/man1/ovl.1"; do
  [ -e "$f" ] || bad "not installed: ${f#$prefix/}"
done

if [ "$kind" = shared ]; then
# Names a header declares with its export macro: comments and preprocessor
# lines dropped, one declaration a line, the name before its parenthesis.
declared() { cc -fpreprocessed -dD -E -P -w -x c "$1" | grep -v '^ *#' | tr '\n' ' ' | tr ';' '\n' |
             grep -E "(^|[^A-Za-z_])$2 " | grep '(' |
             sed -E 's/\(.*//; s/.*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*) *$/\1/'; }
# check_lib LIB MACRO =|<= HEADER...: LIB.so.1 is named so in its soname and
# exports exactly (=) the names its headers declare with MACRO, or (<=) may
# leave some out but exports no others.
check_lib() {
  lib=$1 macro=$2 mode=$3
  shift 3
  for h in "$@"; do declared "$h" "$macro"; done | sort -u > "$work/$lib.declared"
  nm -D --defined-only "$libdir/$lib.so.1" | awk '{print $NF}' | sed 's/@.*//' | sort -u > "$work/$lib.exported"
  if [ "$mode" = "<=" ]; then odd=$(comm -13 "$work/$lib.declared" "$work/$lib.exported" | sed 's/^/> /')
  else odd=$(diff "$work/$lib.declared" "$work/$lib.exported" | grep '^[<>]'); fi
  [ -z "$odd" ] || bad "$lib: < declared, not exported; > exported, not declared:
$(echo "$odd" | head -20)"
  readelf -d "$libdir/$lib.so.1" | grep -q "Library soname: \[$lib.so.1\]" || bad "$lib: soname is not $lib.so.1"
}
check_lib libwx5novl1 FOCALL = "$inc/wx5novl1.h"
n=$(wc -l < "$work/libwx5novl1.declared")
[ "$n" -eq 67 ] || bad "the header declares $n functions, not 67"
check_lib libwx5nhost WX5NH_API = "$inc/wx5nhost.h"
check_lib libswgdi SWGDI_API "<=" "$inc"/swgdi*.h
check_lib libwx5nfacc FCSCALL = "$inc/wx5nfacc.h"
check_lib libwx5naux0 FCSCALL = "$inc/wx5naux0.h"
for f in "$libdir"/*.so.* "$prefix/bin/ovl"; do
  [ ! -L "$f" ] && readelf -d "$f" | grep -qE 'RUNPATH|RPATH' && bad "${f#$prefix/} carries a RUNPATH"
done
fi

export LD_LIBRARY_PATH=$libdir PKG_CONFIG_PATH=$libdir/pkgconfig
{ cmake -S "$src/tests/package/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" \
    -DHOST_SOURCE="$src/examples/host.c" && cmake --build "$work/consumer"; } > "$work/consumer.log" 2>&1 \
  || { tail -20 "$work/consumer.log"; bad "the CMake consumer does not build"; }
cc -std=c99 -o "$work/host_pc" "$src/examples/host.c" 2> "$work/pc.log" \
   $(pkg-config $([ "$kind" = static ] && echo --static) --cflags --libs wx5nhost) \
  || { cat "$work/pc.log"; bad "the pkg-config consumer does not build"; }
for host in "$work/consumer/host_consumer" "$work/host_pc"; do
  [ ! -x "$host" ] || "$host" "$src"/examples/*.ovl || bad "${host##*/} fails on the examples"
done
exit $fail
