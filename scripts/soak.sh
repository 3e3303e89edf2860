#!/usr/bin/env bash
# Runs the window soak under AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/)
# for MINUTES with SEED (default 20, the seed CI uses for its one-minute run). The steps are
# written to build-sanitize/soak-MINUTES-SEED.log; on a failure its last lines show the way
# there; the same seed with --schritte N usually replays the run up to step N (timers and
# threads can let a step find other windows).
# scripts/soak.sh MINUTES [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:?"Aufruf: scripts/soak.sh MINUTEN [SEED]"}
seed=${2:-20}
build_dir=${KESSELWERK_SANITIZE_BUILD_DIR:-build-sanitize}

scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESSELWERK_SANITIZE=ON \
  -DKESSELWERK_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" --target kesselwerk_soak -j 2

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export KESSELWERK_SHARED_DIR=${KESSELWERK_SHARED_DIR:-$(cd .. && pwd)/shared}
log="$build_dir/soak-$minutes-$seed.log"
"$build_dir/bin/kesselwerk_soak" --sekunden $((minutes * 60)) --seed "$seed" --protokoll "$log"
