#!/usr/bin/python3
"""Writes a batch of MCA channel files (*.chn) for the benchmarks: simulated powder patterns, each a
few dozen peaks of random position, height and width on a sloping background, with Poisson counting
noise. A fixed seed makes the same bytes every time.

Usage: bench/make-batch.py OUTPUT_DIR COUNT CHANNELS [PREFIX]
"""

import struct
import sys
from pathlib import Path

import numpy as np


def pattern(rng, channels):
    x = np.arange(channels, dtype=np.float64)
    counts = 150.0 + 80.0 * np.exp(-x / (channels / 3.0))
    for _ in range(rng.integers(20, 40)):
        centre = rng.uniform(0.02, 0.98) * channels
        width = rng.uniform(2.0, 6.0) * channels / 4096.0
        counts += rng.uniform(200.0, 20000.0) * np.exp(-0.5 * ((x - centre) / width) ** 2)
    return rng.poisson(counts).astype("<i4")


def channel_file(counts):
    header = bytearray(32)
    header[0:2] = b"\xff\xff"
    struct.pack_into("<hh", header, 28, 0, len(counts))
    return bytes(header) + counts.tobytes()


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    out = Path(sys.argv[1])
    count, channels = int(sys.argv[2]), int(sys.argv[3])
    prefix = sys.argv[4] if len(sys.argv) == 5 else "scan"
    out.mkdir(parents=True, exist_ok=True)
    rng = np.random.default_rng(20240611 + channels)
    for i in range(count):
        (out / f"{prefix}{i:04d}.chn").write_bytes(channel_file(pattern(rng, channels)))


if __name__ == "__main__":
    main()
