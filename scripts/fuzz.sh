#!/usr/bin/env bash
# Builds the readers' libFuzzer targets with clang (build-fuzz/) and runs each one for
# SECONDS on a copy of its seed corpus in fuzz/corpus/<target>/. Exits non-zero when any
# target finds a crash, a leak or a hang; the input that showed it is kept in
# build-fuzz/findings/<target>/.
# scripts/fuzz.sh [SECONDS]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
build_dir=${KESSELWERK_FUZZ_BUILD_DIR:-build-fuzz}

scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESSELWERK_FUZZ=ON -DKESSELWERK_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" --target kw_fuzz -j 2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
# The targets that read a path write each input there.
export TMPDIR="$PWD/$build_dir/tmp"
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR"

failed=()
summary=()
for corpus in fuzz/corpus/*/; do
  target=$(basename "$corpus")
  work="$build_dir/corpus/$target"
  findings="$build_dir/findings/$target"
  rm -rf "$work" "$findings"
  mkdir -p "$work" "$findings"
  cp "$corpus"* "$work/"
  log="$build_dir/$target.log"
  echo "== $target ($seconds s)"
  start=$(date +%s)
  if "$build_dir/bin/$target" "$work" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1; then
    status=ok
  else
    status=FAILED
    failed+=("$target")
    tail -n 40 "$log"
  fi
  elapsed=$(($(date +%s) - start))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  summary+=("$(printf '%-24s %-7s %10s runs %6s edges %4s s' "$target" "$status" "${runs:-?}" \
    "${cov:-?}" "$elapsed")")
done

echo
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]} (inputs in $build_dir/findings/)" >&2
  exit 1
fi
