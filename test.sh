#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then builds the
# Qt-free part again with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs its tests and the bounded fuzzing runs.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELLION_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DBRELLION_CORE_ONLY=ON -DBRELLION_SANITIZE=ON -DBRELLION_BENCHMARKS=OFF -DBRELLION_WERROR=ON
cmake --build build-san -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-san --output-on-failure -j "$jobs" --timeout 600
