#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need.
# Only what is missing is installed, so a second run costs nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qtbase5-dev qttools5-dev qttools5-dev-tools qt5-qmake
  libhidapi-dev libudev-dev
  libpng-dev
  fonts-noto-cjk
  xvfb xauth
  desktop-file-utils appstream
  clang libclang-rt-14-dev
  libbenchmark-dev
  dpkg-dev file
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
