#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite with ctest.
# ./test.sh            the normal build (build/)
# ./test.sh --sanitize the same with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")"

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-sanitize
  cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DKESSELWERK_SANITIZE=ON -DKESSELWERK_BENCHMARKS=OFF)
  shift
fi

scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" "$@"
