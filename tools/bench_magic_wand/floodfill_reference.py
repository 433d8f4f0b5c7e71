#!/usr/bin/python3
"""OpenCV's flood fill as the magic wand's reference: 8-connected, every
pixel compared with the seed's colour within 8 per channel (fixed range).
Usage: floodfill_reference.py <picture.ppm> <seed x> <seed y>
Reads one line a fill from its standard input (the benchmark asks for one
fill between two of its own, so that load falls on both alike) and answers
each with the filled pixel count and the time of that fill in ms; ends at
the end of its input."""
import sys
import time

import cv2
import numpy as np


def main():
    path, sx, sy = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    img = cv2.imread(path, cv2.IMREAD_COLOR)
    h, w = img.shape[:2]
    mask = np.zeros((h + 2, w + 2), np.uint8)
    flags = 8 | cv2.FLOODFILL_FIXED_RANGE | cv2.FLOODFILL_MASK_ONLY | (255 << 8)
    print("ready", flush=True)
    for _ in sys.stdin:
        mask[:] = 0
        t0 = time.perf_counter()
        count, _, _, _ = cv2.floodFill(img, mask, (sx, sy), 0, (8, 8, 8), (8, 8, 8), flags)
        ms = (time.perf_counter() - t0) * 1000.0
        print(count, ms, flush=True)


if __name__ == "__main__":
    main()
