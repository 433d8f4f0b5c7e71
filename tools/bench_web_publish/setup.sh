#!/usr/bin/env bash
# The web publishing benchmark's own needs: `vipsthumbnail` (libvips-tools),
# the reference it measures the thumbnails against.
set -euo pipefail
missing=()
for p in libvips-tools; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
