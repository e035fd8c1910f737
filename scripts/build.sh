#!/bin/bash
# Configure once and build incrementally; one build at a time on this machine.
# Usage: scripts/build.sh [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
# The cache keys on paths relative to the checkout, so another clone of the
# tree (CI clones afresh) reuses what this one compiled.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
exec 9>/tmp/clservice-build.lock
flock 9
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
if [ $# -gt 0 ]; then
  cmake --build "$BUILD_DIR" -j2 --target "$@"
else
  cmake --build "$BUILD_DIR" -j2
fi
