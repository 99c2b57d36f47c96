# Sourced by the wine runs after setting src (the source folder) and arch
# (x86_64 or i686): finds the wine of that width and the mingw-w64 cross
# tools (cc, cxx, windres), or exits 77 (skipped) saying what is missing.
# copy_dlls BUILD DIR copies the three DLLs of a cross build into DIR.
. "$src/tests/support/wine.sh"
case $arch in
  x86_64) find_wine 64 ;;
  i686) find_wine 32 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
cc=$arch-w64-mingw32-gcc cxx=$arch-w64-mingw32-g++ windres=$arch-w64-mingw32-windres
for tool in "$cc" "$cxx" "$windres" "$WINE"; do
  command -v "$tool" > /dev/null 2>&1 || { echo "SKIPPED: mingw-w64 ($arch) or $WINE_NAME not found"; exit 77; }
done
copy_dlls() {
  cp "$1/WX5NOVL1.dll" "$1/platform/fileacc/WX5NFACC.dll" "$1/platform/fileacc/WX5NAUX0.dll" "$2/"
}
