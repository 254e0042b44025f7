#!/usr/bin/env bash
# Fuzzes the template reader and writer: builds the libFuzzer target with clang
# (AddressSanitizer and UndefinedBehaviorSanitizer, leak checking on), replays
# every saved regression input, then fuzzes for a fixed time on the seed corpus
# of real templates. Exits non-zero on any crash, hang, leak or failed check;
# the input that caused it is left in the build folder's "artifacts".
#
#   tests/fuzz/run-fuzz.sh [seconds]        (default 60)
#
# Build folder: $TQ_FUZZ_BUILD_DIR, else build-fuzz at the top of the repository.
# Needs: apt-get install -y --no-install-recommends clang libclang-rt-14-dev
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(cd "$here/../.." && pwd)"
seconds="${1:-60}"
build="${TQ_FUZZ_BUILD_DIR:-$top/build-fuzz}"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "run-fuzz.sh: clang++ is missing (apt-get install -y --no-install-recommends clang libclang-rt-14-dev)" >&2
  exit 1
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" >/dev/null

export QT_QPA_PLATFORM=offscreen
export LANG=C.UTF-8
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Fontconfig and the offscreen platform keep a few process-lifetime allocations.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/lsan.supp:print_suppressions=0}"

fuzzer="$build/fuzz_templates"
mkdir -p "$build/artifacts" "$build/corpus"
options=(-artifact_prefix="$build/artifacts/" -timeout=10 -rss_limit_mb=2048 -max_len=65536
         -dict="$here/templates.dict" -print_final_stats=1)

shopt -s nullglob
regressions=("$here"/regressions/*)
if [ "${#regressions[@]}" -gt 0 ]; then
  echo "run-fuzz.sh: replaying ${#regressions[@]} regression inputs"
  "$fuzzer" "${options[@]}" "${regressions[@]}" >"$build/regressions.log" 2>&1 || {
    cat "$build/regressions.log" >&2
    exit 1
  }
fi

echo "run-fuzz.sh: fuzzing for ${seconds} s"
"$fuzzer" "${options[@]}" -max_total_time="$seconds" "$build/corpus" "$here/corpus" >"$build/fuzz.log" 2>&1 || {
  tail -n 60 "$build/fuzz.log" >&2
  exit 1
}
grep -E "^stat::number_of_executed_units|^stat::new_units_added|^stat::peak_rss_mb" "$build/fuzz.log" || true
echo "run-fuzz.sh: no crash, hang or leak"
