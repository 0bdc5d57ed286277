#!/usr/bin/env bash
# Builds ORVEX and starts it on a freshly generated demo session.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target orvex-cli
mkdir -p build/demo
./build/orvex-cli demo --out build/demo/demo.tbc --minutes 10
if cmake --build build -j"$(nproc)" --target orvex 2>/dev/null && [ -x build/orvex ]; then
  exec ./build/orvex build/demo/demo.tbc
fi
./build/orvex-cli info build/demo/demo.tbc
