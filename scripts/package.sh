#!/usr/bin/env bash
# Builds the Debian package kalvor_<version>_amd64.deb into the repository's folder (a release build of
# its own in build-package/); install it with: sudo apt install ./kalvor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_TESTS=OFF -DKALVOR_BUILD_BENCH=OFF \
  "${launcher[@]}"
cmake --build build-package
rm -f build-package/kalvor_*.deb
(cd build-package && cpack)
rm -f kalvor_*_amd64.deb
mv build-package/kalvor_*_amd64.deb .
ls kalvor_*_amd64.deb
