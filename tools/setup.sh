#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root or through sudo), then configures and builds a
# preset (default: "default"). Usage: tools/setup.sh [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6printsupport6
  libzip-dev zlib1g-dev libxxhash-dev
  libbenchmark-dev clang libclang-rt-14-dev
  fonts-liberation2 xvfb xauth x11-utils
  zip unzip python3
  libqt6dbus6
  libblkid-dev dbus-daemon
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  desktop-file-utils
  doxygen
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
