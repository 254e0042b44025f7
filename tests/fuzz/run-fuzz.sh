#!/usr/bin/env bash
# Fuzzes the template reader and writer, then the text cipher's decoder: builds
# the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer,
# leak checking on), replays each target's saved regression inputs, then fuzzes
# each for a fixed time on its seed corpus. Exits non-zero on any crash, hang,
# leak or failed check; the input that caused it is left in the build folder's
# "artifacts".
#
#   tests/fuzz/run-fuzz.sh [template-seconds] [cipher-seconds]    (defaults 60 and 30)
#
# Build folder: $TQ_FUZZ_BUILD_DIR, else build-fuzz at the top of the repository.
# Needs: apt-get install -y --no-install-recommends clang libclang-rt-14-dev zlib1g-dev
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(cd "$here/../.." && pwd)"
template_seconds="${1:-60}"
cipher_seconds="${2:-30}"
build="${TQ_FUZZ_BUILD_DIR:-$top/build-fuzz}"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "run-fuzz.sh: clang++ is missing (apt-get install -y --no-install-recommends clang libclang-rt-14-dev)" >&2
  exit 1
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --parallel "${TQ_JOBS:-$(nproc)}" >/dev/null

export QT_QPA_PLATFORM=offscreen
export LANG=C.UTF-8
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Fontconfig and the offscreen platform keep a few process-lifetime allocations.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/lsan.supp:print_suppressions=0}"
mkdir -p "$build/artifacts"
shopt -s nullglob

# fuzz NAME SECONDS SEED-CORPUS REGRESSIONS [libFuzzer options...]
fuzz() {
  local name="$1" seconds="$2" seeds="$3" regressions_dir="$4"
  shift 4
  local fuzzer="$build/$name"
  local options=(-artifact_prefix="$build/artifacts/" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$@")
  mkdir -p "$build/corpus-$name"

  local regressions=("$regressions_dir"/*)
  if [ "${#regressions[@]}" -gt 0 ]; then
    echo "run-fuzz.sh: $name: replaying ${#regressions[@]} regression inputs"
    "$fuzzer" "${options[@]}" "${regressions[@]}" >"$build/regressions-$name.log" 2>&1 || {
      cat "$build/regressions-$name.log" >&2
      exit 1
    }
  fi

  echo "run-fuzz.sh: $name: fuzzing for ${seconds} s"
  "$fuzzer" "${options[@]}" -max_total_time="$seconds" "$build/corpus-$name" "$seeds" >"$build/fuzz-$name.log" 2>&1 || {
    tail -n 60 "$build/fuzz-$name.log" >&2
    exit 1
  }
  grep -E "^stat::number_of_executed_units|^stat::new_units_added|^stat::peak_rss_mb" "$build/fuzz-$name.log" || true
}

fuzz fuzz_templates "$template_seconds" "$here/corpus" "$here/regressions" -max_len=65536 -dict="$here/templates.dict"
fuzz fuzz_cipher "$cipher_seconds" "$here/cipher-corpus" "$here/cipher-regressions" -max_len=4096
echo "run-fuzz.sh: no crash, hang or leak"
