#!/bin/bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on everything they link) in build-fuzz/ and runs
# each on its seed corpus in fuzz/corpus/<name>/ for a bounded time.
#
#   scripts/fuzz.sh [SECONDS] [NAME...]     (default 20 seconds, every target)
#   FUZZ_JOBS=2 scripts/fuzz.sh 3600        (an hour each, two at a time)
#
# New inputs go to build-fuzz/corpus/<name>/, findings (a crash, a leak, a
# broken promise of the target) to build-fuzz/findings/<name>-*; any finding
# fails the run. Reproduce one with: build-fuzz/bin/fuzz_<name> <finding file>
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-20}
shift || true
NAMES=("$@")
[ ${#NAMES[@]} -gt 0 ] || NAMES=(config tsql numberformat template prepared xls xlsx csv)
JOBS=${FUZZ_JOBS:-1}
BUILD_DIR=build-fuzz
export BUILD_DIR

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DCLSERVICE_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
fi
./scripts/build.sh $(printf 'fuzz_%s ' "${NAMES[@]}")

mkdir -p "$BUILD_DIR/findings" "$BUILD_DIR/logs"
# The largest input each target is given: the spreadsheets and templates need room.
max_len() {
  case "$1" in
    xls|xlsx|template|prepared) echo 131072 ;;
    *) echo 8192 ;;
  esac
}
# freexl makes room for what an .xls claims (gigabytes; the sanitizer's
# shadow of it is memory too): within that much it is no finding of ours.
extra_flags() {
  case "$1" in
    xls) echo -malloc_limit_mb=16384 -rss_limit_mb=12288 ;;
  esac
}
run_one() {
  local name=$1
  mkdir -p "$BUILD_DIR/corpus/$name"
  if QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:suppressions=fuzz/asan.supp \
     LSAN_OPTIONS=suppressions=fuzz/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
     "$BUILD_DIR/bin/fuzz_$name" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=4096 \
       -max_len="$(max_len "$name")" $(extra_flags "$name") -print_final_stats=1 \
       -artifact_prefix="$BUILD_DIR/findings/$name-" \
       "$BUILD_DIR/corpus/$name" "fuzz/corpus/$name" >"$BUILD_DIR/logs/$name.log" 2>&1; then
    echo "fuzz_$name: $(grep -E '^stat::number_of_executed_units' "$BUILD_DIR/logs/$name.log" | awk '{print $2}') runs in ${SECONDS_EACH} s, no finding"
  else
    echo "fuzz_$name: FINDING, see $BUILD_DIR/logs/$name.log and $BUILD_DIR/findings/"
    tail -40 "$BUILD_DIR/logs/$name.log"
    return 1
  fi
}
export -f run_one max_len extra_flags
export SECONDS_EACH
printf '%s\n' "${NAMES[@]}" | xargs -P "$JOBS" -I{} bash -c 'run_one {}'
