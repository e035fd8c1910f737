#!/bin/bash
# Makes the user manual's pictures (docs/manual/img/*.png) from the real
# windows on a fresh demo archive, under the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
./scripts/build.sh screenshots mdsetup report_templates import_sample
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.qpa.*=false'
"$BUILD_DIR/bin/mdsetup" --home "$home" init --demo 300 >/dev/null
"$BUILD_DIR/bin/screenshots" --home "$home" docs/manual/img
ls docs/manual/img
