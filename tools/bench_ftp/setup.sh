#!/usr/bin/env bash
# The FTP benchmark's own needs: the `curl` command-line program it compares
# against (the suite's setup installs the server library, python3-pyftpdlib).
set -euo pipefail
missing=()
for p in curl python3-pyftpdlib; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
