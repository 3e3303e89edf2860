#!/usr/bin/env bash
# Starts the real application under Xvfb and writes a PNG of every window into
# build/screenshots/ (the start window, the main window with a short permanence typed
# on the pad, every other window and the help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target kesselwerk
out=build/screenshots
rm -rf "$out"
mkdir -p "$out"
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
# The import dialog is shot over the real permanences beside the repository when they are there.
shared=${KESSELWERK_SHARED_DIR:-$(cd .. && pwd)/shared}
[ -d "$shared/data/real" ] || shared=
KESSELWERK_SHARED_DIR="$shared" KESSELWERK_DATA_DIR="$data" xvfb-run -a -s "-screen 0 1366x768x24" \
  build/bin/kesselwerk --screenshots "$out"
