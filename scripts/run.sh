#!/usr/bin/env bash
# Installs what is missing, builds the desktop program and starts it (arguments go to the program).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target kalvor kalvor-cli
exec ./build/src/kalvor "$@"
