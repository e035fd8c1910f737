#!/bin/bash
# Builds the Debian package build/clservice_<version>_amd64.deb.
# Install it with: sudo apt install ./build/clservice_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# dpkg-shlibdeps (dpkg-dev) and file work out the library dependencies.
need=()
for p in dpkg-dev file; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${need[@]}"
fi
BUILD_DIR=${BUILD_DIR:-build}
./scripts/build.sh clservice mdsetup mdconn report_templates import_sample
cd "$BUILD_DIR"
# One packaging run at a time, like the builds.
exec 9>/tmp/clservice-build.lock
flock 9
cpack -G DEB
ls -1 "$PWD"/clservice_*.deb
