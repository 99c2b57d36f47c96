# Shell functions for the tests that run Windows programs under wine64.
#
# find_wine: sets WINE and WINESERVER to the wine64 launcher and its server
# (empty when they are not installed).
# run_in_wine DIR OUT ERR PROGRAM [ARGS...]: runs PROGRAM in DIR under a fresh
# prefix with a time limit, OUT and ERR taking its output (ERR "-": with OUT),
# then stops the wine server and removes the prefix. Returns the program's
# status.

find_wine() {
  WINE=""
  for w in wine64 /usr/lib/wine/wine64; do
    if command -v "$w" >/dev/null 2>&1; then WINE=$(command -v "$w"); break; fi
  done
  WINESERVER=""
  for w in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
    if command -v "$w" >/dev/null 2>&1; then WINESERVER=$(command -v "$w"); break; fi
  done
}

run_in_wine() {
  wine_dir=$1
  wine_out=$2
  wine_err=$3
  shift 3
  wine_prefix=$(mktemp -d "${TMPDIR:-/tmp}/wx5n-wine.XXXXXX") || return 2
  if [ "$wine_err" = "-" ]; then
    ( cd "$wine_dir" && WINEPREFIX="$wine_prefix" WINEDEBUG=-all timeout 200 "$WINE" "$@" ) > "$wine_out" 2>&1
  else
    ( cd "$wine_dir" && WINEPREFIX="$wine_prefix" WINEDEBUG=-all timeout 200 "$WINE" "$@" ) > "$wine_out" 2> "$wine_err"
  fi
  wine_status=$?
  if [ -n "$WINESERVER" ]; then WINEPREFIX="$wine_prefix" "$WINESERVER" -k >/dev/null 2>&1; fi
  rm -rf "$wine_prefix"
  return $wine_status
}
