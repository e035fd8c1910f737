#!/bin/bash
# Installs what is missing, builds, makes a demo archive on the embedded
# SQLite default (once) and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh clservice mdsetup mdconn
HOME_DIR=${CLSERVICE_HOME:-$PWD/build/bin}
if [ ! -f "$HOME_DIR/clservice.db" ]; then
  ./build/bin/mdsetup --home "$HOME_DIR" init --demo "${DEMO_CUSTOMERS:-5000}"
fi
exec ./build/bin/clservice --home "$HOME_DIR"
