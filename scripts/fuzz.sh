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
# The report gives each target's runs and the CPU seconds it had.
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
# freexl also crashes on some damaged files; the import reads .xls in a child
# process for that, so the target runs in fork mode and goes on past them.
extra_flags() {
  case "$1" in
    xls) echo -malloc_limit_mb=16384 -rss_limit_mb=12288 -fork=1 -ignore_crashes=1 ;;
  esac
}
# Whose fault a crash is: the innermost frame of its report that is freexl's
# or in our tree. Some of freexl's crashes depend on what its memory held, so
# an input is tried three times before it counts as unreproduced.
culprit() {
  local name=$1 file=$2 frame i
  for i in 1 2 3; do
    frame=$(QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:suppressions=fuzz/asan.supp \
            "$BUILD_DIR/bin/fuzz_$name" -artifact_prefix="$BUILD_DIR/triage-" "$file" 2>&1 |
            grep -E '^ +#[0-9]+ ' | grep -m1 -E 'libfreexl\.so|\.\./(src|fuzz)/' || true)
    case "$frame" in
      *libfreexl.so*) echo freexl; return ;;
      ?*) echo ours; return ;;
    esac
  done
  echo unreproduced
}
# freexl's own crashes are contained when the import's reading (in a child
# process) ends in a refusal with a message of ours or a read: they are kept
# in findings/contained/ and counted, not failed.
contained() {
  local name=$1 file=$2
  [ "$name" = xls ] || return 1
  case "$(culprit "$name" "$file")" in freexl|unreproduced) ;; *) return 1 ;; esac
  QT_QPA_PLATFORM=offscreen FUZZ_XLS_IN_CHILD=1 ASAN_OPTIONS=detect_leaks=0:suppressions=fuzz/asan.supp \
    "$BUILD_DIR/bin/fuzz_$name" -artifact_prefix="$BUILD_DIR/triage-" "$file" >/dev/null 2>&1
}
run_one() {
  local name=$1 log="$BUILD_DIR/logs/$1.log" cpu ok=1 runs kept=0 f
  mkdir -p "$BUILD_DIR/corpus/$name" "$BUILD_DIR/findings/contained"
  local stamp="$BUILD_DIR/logs/$name.start"
  touch "$stamp"
  local TIMEFORMAT='%U %S'
  cpu=$( { time QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:suppressions=fuzz/asan.supp \
     LSAN_OPTIONS=suppressions=fuzz/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
     "$BUILD_DIR/bin/fuzz_$name" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=4096 \
       -max_len="$(max_len "$name")" $(extra_flags "$name") -print_final_stats=1 \
       -artifact_prefix="$BUILD_DIR/findings/$name-" \
       "$BUILD_DIR/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1 || echo failed >"$log.failed"; } 2>&1 )
  cpu=$(awk '{printf "%d", $1 + $2}' <<<"$cpu")
  [ ! -e "$log.failed" ] || { ok=0; rm -f "$log.failed"; }
  # A slow input is kept by libFuzzer as slow-unit-*, but it is no finding.
  for f in $(find "$BUILD_DIR/findings" -maxdepth 1 -name "$name-*" ! -name "$name-slow-unit-*" -newer "$stamp"); do
    if contained "$name" "$f"; then
      mv "$f" "$BUILD_DIR/findings/contained/"
      kept=$((kept + 1))
    else
      ok=0
    fi
  done
  rm -f "$BUILD_DIR"/triage-*
  # Fork mode prints no final stats: its last status line counts the runs.
  runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  if [ $ok = 1 ]; then
    local note=""
    [ $kept -eq 0 ] || note=", $kept crashes inside freexl contained (findings/contained/)"
    echo "fuzz_$name: $runs runs in ${SECONDS_EACH} s ($cpu CPU s), no finding$note"
  else
    echo "fuzz_$name: FINDING, see $log and $BUILD_DIR/findings/"
    tail -40 "$log"
    return 1
  fi
}
export -f run_one max_len extra_flags culprit contained
export SECONDS_EACH
printf '%s\n' "${NAMES[@]}" | xargs -P "$JOBS" -I{} bash -c 'run_one {}'
