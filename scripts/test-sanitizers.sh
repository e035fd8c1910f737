#!/bin/bash
# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/, run on SQLite and on a throw-away PostgreSQL like
# scripts/test.sh. A report of either sanitizer fails the test that made it.
#
#   scripts/test-sanitizers.sh [ctest arguments...]    (e.g. -R tst_dataset)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=build-asan
export BUILD_DIR
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
fi
./scripts/build.sh
source scripts/pg-throwaway.sh
trap pg_throwaway_stop EXIT
pg_throwaway_start
echo "PostgreSQL for tests on 127.0.0.1:$PG_TEST_PORT"
# Leaks are left to the fuzz targets: Qt's platform and font caches live until exit.
# freexl's own faults (fuzz/asan.supp) are contained by the import's refusal.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1:suppressions=$PWD/fuzz/asan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$BUILD_DIR"
CLSERVICE_TEST_PG_PORT=$PG_TEST_PORT ctest --output-on-failure -j2 --timeout 2400 "$@"
