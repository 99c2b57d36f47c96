#!/bin/sh
# Makes the Debian package with CPack and unpacks it into a scratch root:
# the package is named and versioned, says which shared libraries it
# provides, and holds the libraries, headers, CMake package, pkg-config
# files, the tool and its man page under /usr, and no build files. Then dpkg
# installs it into an empty scratch system and removes it, leaving no file.
#   check_deb.sh BUILD_DIR WORK_DIR
set -u
build=$1
work=$2
rm -rf "$work" && mkdir -p "$work" || exit 2
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake") > "$work/cpack.log" 2>&1 \
  || { tail -20 "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] && dpkg-deb -x "$deb" "$work/root" && dpkg-deb -e "$deb" "$work/control" || { echo "no .deb made"; exit 1; }
fail=0
bad() { echo "$*"; fail=1; }
dpkg-deb -f "$deb" Package | grep -qx wx5novl1 || bad "package name is not wx5novl1"
dpkg-deb -f "$deb" Version | grep -q '^[0-9]' || bad "package has no version"
grep -q '^libwx5novl1 1 ' "$work/control/shlibs" || bad "no shlibs entry for libwx5novl1.so.1"
for f in usr/lib/libwx5novl1.so.1 usr/lib/libwx5novl1.so usr/lib/libwx5nhost.so.1 usr/lib/libswgdi.so.1 \
         usr/include/wx5novl1/wx5novl1.h usr/include/wx5novl1/wx5nhost.h usr/include/wx5novl1/swgdi.h \
         usr/lib/cmake/wx5novl1/wx5novl1Config.cmake usr/lib/pkgconfig/wx5novl1.pc \
         usr/bin/ovl usr/share/man/man1/ovl.1; do
  [ -e "$work/root/$f" ] || bad "not in the package: /$f"
done
find "$work/root" -path '*/_CPack_Packages*' -o -name '*.o' | grep -q . && bad "build files in the package"

db=$work/system
mkdir -p "$db/var/lib/dpkg/info" "$db/var/lib/dpkg/updates" && : > "$db/var/lib/dpkg/status"
dpkg_scratch() { dpkg --root="$db" --force-depends --force-script-chrootless --log=/dev/null "$@" > "$work/dpkg.log" 2>&1 ||
                   { tail -5 "$work/dpkg.log"; bad "dpkg $1 fails"; }; }
dpkg_scratch -i "$deb"
[ -e "$db/usr/lib/libwx5novl1.so.1" ] || bad "dpkg -i installed no libwx5novl1.so.1"
dpkg_scratch -r wx5novl1
left=$(find "$db" -type f ! -path "$db/var/lib/dpkg/*" | head -5)
[ -z "$left" ] || bad "files left after removal: $left"
exit $fail
