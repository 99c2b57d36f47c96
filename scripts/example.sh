#!/usr/bin/env bash
# Builds the tool and runs it on the bundled example overlay.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.cmake.log 2>&1 || { cat build.cmake.log; exit 1; }
cmake --build build -j"${JOBS:-2}" --target ovl make_examples
build/tools/ovl/ovl info examples/form.ovl
