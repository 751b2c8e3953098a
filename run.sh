#!/usr/bin/env bash
# Installs what is missing, builds, and starts the manager.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target apps

exec build/bin/Brellion "$@"
