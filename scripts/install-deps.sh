#!/bin/bash
# Debian 12 packages needed to build, run and test. Nothing else is downloaded.
set -euo pipefail
PKGS=(build-essential cmake ninja-build ccache pkg-config
      qt6-base-dev qt6-base-dev-tools qt6-5compat-dev qt6-charts-dev libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
      libsqlite3-dev libxlsxwriter-dev libfreexl-dev libquazip1-qt6-dev
      postgresql postgresql-client postgresql-contrib
      fonts-noto-cjk qt6-translations-l10n xdg-utils unzip xvfb xauth
      clang libclang-rt-14-dev)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
