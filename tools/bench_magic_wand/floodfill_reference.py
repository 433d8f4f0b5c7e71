#!/usr/bin/python3
"""OpenCV's flood fill as the magic wand's reference: 8-connected, every
pixel compared with the seed's colour within 8 per channel (fixed range).
Usage: floodfill_reference.py <picture.ppm> <seed x> <seed y> <rounds>
Prints the filled pixel count and the median time of one fill in ms."""
import statistics
import sys
import time

import cv2
import numpy as np


def main():
    path, sx, sy, rounds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    img = cv2.imread(path, cv2.IMREAD_COLOR)
    h, w = img.shape[:2]
    mask = np.zeros((h + 2, w + 2), np.uint8)
    flags = 8 | cv2.FLOODFILL_FIXED_RANGE | cv2.FLOODFILL_MASK_ONLY | (255 << 8)
    times = []
    count = 0
    for _ in range(rounds):
        mask[:] = 0
        t0 = time.perf_counter()
        count, _, _, _ = cv2.floodFill(img, mask, (sx, sy), 0, (8, 8, 8), (8, 8, 8), flags)
        times.append((time.perf_counter() - t0) * 1000.0)
    print(count, statistics.median(times))


if __name__ == "__main__":
    main()
