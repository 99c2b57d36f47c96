#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, and
# only those that are missing. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libdeflate-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev libtiff-dev libcairo2-dev
  nlohmann-json3-dev libcli11-dev
  fonts-ipafont-gothic fonts-dejavu-core poppler-utils librsvg2-bin parallel hyperfine file
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The 32-bit wine that runs the 32-bit DLL: it needs the i386 architecture.
# Where it cannot be installed the 32-bit wine tests say so and skip, and
# the rest of the suite goes on.
if ! installed wine32:i386; then
  echo "Installing: wine32:i386"
  if ! { { dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386; } &&
         $sudo apt-get update -qq &&
         $sudo apt-get install -y -qq wine32:i386; }; then
    echo "wine32:i386 could not be installed: the 32-bit wine tests will be skipped"
  fi
fi
