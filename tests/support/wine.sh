# Shell functions for the tests that run Windows programs under wine, 64-bit
# (wine64) or 32-bit (the wine32:i386 package's launcher).
#
# find_wine [32]: sets WINE and WINESERVER to the launcher and the server of
# 64-bit wine, or with 32 of 32-bit wine (WINE empty when not installed);
# WINE_ARCH to the prefix architecture (win64 or win32) and WINE_NAME to a
# name for messages.
# run_in_wine DIR OUT ERR PROGRAM [ARGS...]: runs PROGRAM in DIR under a fresh
# prefix of WINE_ARCH, never shared between runs or with the other
# architecture, with a time limit, OUT and ERR taking its output (ERR "-":
# with OUT), then stops the wine server and removes the prefix. Returns the
# program's status.

find_wine() {
  WINE=""
  if [ "${1:-64}" = 32 ]; then
    WINE_ARCH=win32
    WINE_NAME="32-bit wine (wine32:i386)"
    # Only the 32-bit loader itself: the wrapper in PATH may pick either.
    if [ -x /usr/lib/wine/wine ] && [ ! -d /usr/lib/wine/wine ]; then WINE=/usr/lib/wine/wine; fi
  else
    WINE_ARCH=win64
    WINE_NAME=wine64
    for w in wine64 /usr/lib/wine/wine64; do
      if command -v "$w" >/dev/null 2>&1; then WINE=$(command -v "$w"); break; fi
    done
  fi
  WINESERVER=""
  for w in wineserver /usr/lib/wine/wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver32; do
    if command -v "$w" >/dev/null 2>&1; then WINESERVER=$(command -v "$w"); break; fi
  done
}

run_in_wine() {
  wine_dir=$1
  wine_out=$2
  wine_err=$3
  shift 3
  wine_prefix=$(mktemp -d "${TMPDIR:-/tmp}/wx5n-$WINE_ARCH.XXXXXX") || return 2
  if [ "$wine_err" = "-" ]; then
    ( cd "$wine_dir" && WINEPREFIX="$wine_prefix" WINEARCH="$WINE_ARCH" WINEDEBUG=-all \
        timeout 200 "$WINE" "$@" ) > "$wine_out" 2>&1
  else
    ( cd "$wine_dir" && WINEPREFIX="$wine_prefix" WINEARCH="$WINE_ARCH" WINEDEBUG=-all \
        timeout 200 "$WINE" "$@" ) > "$wine_out" 2> "$wine_err"
  fi
  wine_status=$?
  if [ -n "$WINESERVER" ]; then WINEPREFIX="$wine_prefix" "$WINESERVER" -k >/dev/null 2>&1; fi
  rm -rf "$wine_prefix"
  return $wine_status
}
