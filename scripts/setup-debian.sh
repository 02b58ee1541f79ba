#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Mirolanda need.
# Idempotent: packages already present are left alone, and apt is only asked when one is missing.
# Packages named as arguments are installed too (the packaging scripts' own tools).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n qtkeychain-qt6-dev
  libcurl4-openssl-dev libcpp-httplib-dev nlohmann-json3-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ca-certificates xvfb xauth fonts-ipafont-gothic
  tinyproxy-bin
  sqlite3
  dbus-daemon
  "$@"
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
