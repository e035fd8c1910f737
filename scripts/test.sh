#!/bin/bash
# Installs what is missing, builds, starts a throw-away PostgreSQL on loopback
# and runs the whole suite on both backends (SQLite always, PostgreSQL here),
# then each fuzz target for a bounded time, then the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
source scripts/pg-throwaway.sh
trap pg_throwaway_stop EXIT
pg_throwaway_start
echo "PostgreSQL for tests on 127.0.0.1:$PG_TEST_PORT"
cd build
CLSERVICE_TEST_PG_PORT=$PG_TEST_PORT ctest --output-on-failure -j2 --timeout 900
cd ..
# Every reader of outside input fuzzed a short while on its corpus; a finding fails the run.
FUZZ_JOBS=2 ./scripts/fuzz.sh 15
# The whole suite under ASan+UBSan (its own build folder and PostgreSQL).
./scripts/test-sanitizers.sh
