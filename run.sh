#!/usr/bin/env bash
# Installs what is missing, builds, and starts the manager.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELLION_WERROR=OFF \
  -DBRELLION_TESTS=OFF -DBRELLION_BENCHMARKS=OFF
cmake --build build -j "$(nproc)"

exec build/bin/Brellion "$@"
