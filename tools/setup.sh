#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the programs need,
# skipping what is already there. Run as root (or with sudo available).
set -euo pipefail
packages=(
  g++ make cmake ninja-build ccache pkg-config
  libwxgtk3.2-dev libcurl4-openssl-dev libsdl2-mixer-dev libv4l-dev
  googletest libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  libx11-dev libgtk-3-dev fonts-wqy-microhei xvfb xauth xdg-utils python3 iproute2
  python3-pyftpdlib
  chromium chromium-driver nodejs
  espeak-ng libcairo2-dev
  libreoffice-writer-nogui
  libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
