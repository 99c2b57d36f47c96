#!/bin/sh
# Builds the library's conformance scenarios with mingw-w64 for 64-bit (ARCH
# x86_64, the default) or 32-bit (ARCH i686) Windows against the real gdi32,
# runs them under wine64 or 32-bit wine in a fresh prefix, and compares their
# pixels with the library drawing on swgdi (the native runner). Exits 77
# (skipped) when the cross compiler or the wine of that width is missing.
# Without DLL_BUILD the drawing sources are compiled into the runner and the
# hatch bitmaps go into a resource-only WX5NOVL1.DLL built from the resource
# script hatch_resgen writes; the runner loads it so that foGetHatchBrush
# finds the module by its name. With DLL_BUILD, a cross build of the three
# DLLs, the runner calls WX5NOVL1.dll itself, resources and all.
#   run_lib_conformance.sh PROJECT_DIR NATIVE_RUNNER WORK_DIR HATCH_RESGEN [ARCH [DLL_BUILD]]
set -u
top=$1
runner=$2
work=$3
resgen=$4
arch=${5:-x86_64}
dlls=${6:-}
here=$top/tests/windows/conformance

. "$top/tests/support/wine.sh"
case $arch in
  x86_64) find_wine 64 ;;
  i686) find_wine 32 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
cxx=$(command -v "$arch-w64-mingw32-g++" || true)
windres=$(command -v "$arch-w64-mingw32-windres" || true)
if [ -z "$cxx" ] || [ -z "$windres" ]; then
  echo "SKIPPED: $arch-w64-mingw32-g++ or windres not found; library conformance not run"
  exit 77
fi
if [ -z "$WINE" ]; then
  echo "SKIPPED: $WINE_NAME not found; library conformance not run"
  exit 77
fi

# The scenario sources: the same on both sides.
scenario_sources="$here/lib_scenarios.cpp $here/lib_runner.cpp"
flags="-O1 -std=c++20 -I$top -I$top/include -I$top/platform/fileacc"
mkdir -p "$work/obj" || exit 2
rm -f "$work"/obj/*.o "$work/lib_conformance.exe" "$work"/*.dll "$work"/*.DLL
if [ -n "$dlls" ]; then
  cp "$dlls/WX5NOVL1.dll" "$dlls/platform/fileacc/WX5NFACC.dll" "$dlls/platform/fileacc/WX5NAUX0.dll" \
     "$work/" || exit 2
  sources=$scenario_sources
  libs="$dlls/libWX5NOVL1.dll.a -lgdi32 -luser32"
else
  mkdir -p "$work/res" || exit 2
  "$resgen" "$work/res" || exit 2
  printf 'int __stdcall DllMain(void *h, unsigned r, void *p) { return 1; }\n' > "$work/res/dllmain.c"
  ( cd "$work/res" && "$windres" hatch_bitmaps.rc -O coff -o hatch_res.o ) || exit 2
  "${cxx%g++}gcc" -shared -o "$work/WX5NOVL1.DLL" "$work/res/dllmain.c" "$work/res/hatch_res.o" || exit 2
  # The drawing half links alone: it calls nothing of the reading half.
  sources="$top/draw/*.cpp $scenario_sources"
  libs="-lgdi32 -luser32"
fi

# Two compilers at a time, one object per source.
objs=""
pids=""
n=0
for s in $sources; do
  o="$work/obj/$(basename "$s" .cpp).o"
  objs="$objs $o"
  "$cxx" $flags -c -o "$o" "$s" &
  pids="$pids $!"
  n=$((n + 1))
  if [ $n -ge 2 ]; then
    for p in $pids; do wait "$p" || exit 2; done
    pids=""
    n=0
  fi
done
for p in $pids; do wait "$p" || exit 2; done
"$cxx" -static -o "$work/lib_conformance.exe" $objs $libs || exit 2

rm -f "$work/reference.txt"
run_in_wine "$work" "$work/wine.log" - ./lib_conformance.exe reference.txt
status=$?
if [ $status -ne 0 ] || [ ! -s "$work/reference.txt" ]; then
  echo "wine run failed (status $status); see $work/wine.log"
  tail -5 "$work/wine.log"
  exit 2
fi
exec "$runner" --compare "$work/reference.txt"
