#!/bin/sh
# Installs the benchmark's reference (OpenCV's flood fill for Python, from
# Debian). Only the benchmark needs it; the suite's own setup does not.
set -e
if /usr/bin/python3 -c 'import cv2' 2>/dev/null; then exit 0; fi
if [ "$(id -u)" -ne 0 ]; then
    echo "run as root to install python3-opencv" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends python3-opencv python3-numpy
