#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite with ctest.
# ./test.sh            the normal build (build/)
# ./test.sh --sanitize the same with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/)
# KESSELWERK_BUILD_DIR=<folder> builds there instead.
set -euo pipefail
cd "$(dirname "$0")"

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-sanitize
  cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DKESSELWERK_SANITIZE=ON -DKESSELWERK_BENCHMARKS=OFF)
  # Leaks fail the run too; tests/lsan.supp names the leaks of Qt and the system libraries.
  export ASAN_OPTIONS=detect_leaks=1
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  shift
fi
build_dir=${KESSELWERK_BUILD_DIR:-$build_dir}

scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" "$@"
