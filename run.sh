#!/usr/bin/env bash
# Installs what is missing, builds Kesselwerk (Release) and starts it; arguments are
# passed on to the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESSELWERK_BENCHMARKS=OFF >/dev/null
cmake --build build-release --target kesselwerk kesselwerk-cli
exec build-release/bin/kesselwerk "$@"
