#!/usr/bin/env bash
# Installs what building and testing Linkfold needs on Debian 12, skipping
# what is already there. Uses sudo when not run as root.
#   scripts/install-deps.sh              everything below
#   scripts/install-deps.sh PACKAGE...   only the packages named
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libx11-dev libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libxml2-dev libsqlite3-dev nlohmann-json3-dev libplist-dev libcurl4-openssl-dev libidn2-dev libpsl-dev
  clang libclang-rt-14-dev
  shared-mime-info desktop-file-utils xdg-utils
  dpkg-dev file appstream groff-base mandoc lintian
  clang-format clang-tidy clang-tools ccache
  chromium chromium-driver python3-selenium
)
if [ $# -gt 0 ]; then packages=("$@"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
