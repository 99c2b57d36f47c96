#!/usr/bin/env bash
# Builds the tool and renders the bundled example form to out/business.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.cmake.log 2>&1 || { cat build.cmake.log; exit 1; }
cmake --build build -j"${JOBS:-2}" --target ovl
mkdir -p out
build/tools/ovl/ovl info examples/business.ovl
build/tools/ovl/ovl render examples/business.ovl -o out/business.png --dpi 300
echo "rendered out/business.png"
