#!/bin/sh
# Draws the library's conformance scenarios on the real gdi32 (built with
# mingw-w64 for ARCH, x86_64 or i686, and run under that width's wine) and
# compares the pixels with the library on swgdi (the native runner). Without
# DLL_BUILD the drawing half alone is compiled in, and the hatch bitmaps come
# from a resource-only WX5NOVL1.DLL made from hatch_resgen's script; with it,
# the runner calls the cross-built WX5NOVL1.dll, resources and all.
#   run_lib_conformance.sh PROJECT_DIR NATIVE_RUNNER WORK_DIR HATCH_RESGEN [ARCH [DLL_BUILD]]
set -u
src=$1
runner=$2
resgen=$4
arch=${5:-x86_64}
work=$3/$arch
dlls=${6:-}
. "$src/tests/windows/mingw.sh"
sources="$src/tests/windows/conformance/lib_scenarios.cpp $src/tests/windows/conformance/lib_runner.cpp"
mkdir -p "$work/obj" || exit 2
rm -f "$work"/obj/*.o "$work/lib_conformance.exe" "$work"/*.dll "$work"/*.DLL
if [ -n "$dlls" ]; then
  copy_dlls "$dlls" "$work" || exit 2
  libs="$dlls/libWX5NOVL1.dll.a -lgdi32 -luser32"
else
  mkdir -p "$work/res" && "$resgen" "$work/res" || exit 2
  printf 'int __stdcall DllMain(void *h, unsigned r, void *p) { return 1; }\n' > "$work/res/dllmain.c"
  ( cd "$work/res" && "$windres" hatch_bitmaps.rc -O coff -o hatch_res.o ) || exit 2
  "$cc" -shared -o "$work/WX5NOVL1.DLL" "$work/res/dllmain.c" "$work/res/hatch_res.o" || exit 2
  # The drawing half links alone: it calls nothing of the reading half.
  sources="$src/draw/*.cpp $sources"
  libs="-lgdi32 -luser32"
fi
# Two compilers at a time, one object per source.
for s in $sources; do echo "$s"; done |
  xargs -P 2 -I{} sh -c '"$1" -O1 -std=c++20 -I"$2" -I"$2/include" -c -o "$3/obj/$(basename "$0" .cpp).o" "$0"' \
    {} "$cxx" "$src" "$work" || exit 2
"$cxx" -static -o "$work/lib_conformance.exe" "$work"/obj/*.o $libs || exit 2
rm -f "$work/reference.txt"
run_in_wine "$work" "$work/wine.log" - ./lib_conformance.exe reference.txt
status=$?
if [ $status -ne 0 ] || [ ! -s "$work/reference.txt" ]; then
  echo "wine run failed (status $status); see $work/wine.log"; tail -5 "$work/wine.log"; exit 2
fi
exec "$runner" --compare "$work/reference.txt"
