#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVOR_WERROR=ON
cmake --build build
# The database tests need a PostgreSQL server: pg_virtualenv makes a throwaway cluster for the run and
# sets PGHOST, PGPORT, PGUSER and PGPASSWORD. Without a server those tests fail; they are never skipped.
pg_virtualenv sh -c 'QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"'
