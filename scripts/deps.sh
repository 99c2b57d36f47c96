#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, and
# only those that are missing. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev libtiff-dev libcairo2-dev
  nlohmann-json3-dev libcli11-dev
  fonts-ipafont-gothic fonts-dejavu-core poppler-utils
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
