#!/usr/bin/env python3
"""Writes a deterministic game payload for the install benchmark.

  make-payload.py game OUT SIZE_MIB   loose folders in OUT/DATA (40 %), the
                                      contents of a stored archive in OUT/stored
                                      (30 %) and of a compressed one in
                                      OUT/packed (30 %)
  make-payload.py small OUT COUNT     COUNT small files (1-8 KiB) in
                                      OUT/DATA/small, 100 to a folder

The data is partly compressible: 4 KiB blocks alternate between noise and
text-like runs of words, so zlib shrinks it to about three quarters.
One compressed entry in forty is 8 MiB, the largest.
"""
import os
import random
import sys

KIB = 1024
MIB = 1024 * KIB
LOOSE_FOLDERS = ["scenario", "voice", "se", "bgv", "system", "font", "movie", "event"]


class Data:
    """Partly compressible bytes from a seeded generator."""

    def __init__(self, seed):
        self.rng = random.Random(seed)
        words = [bytes(self.rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(self.rng.randint(2, 9)))
                 for _ in range(2000)]
        text = b" ".join(self.rng.choice(words) for _ in range(300000))
        self.text = text[: 2 * MIB]

    def block(self, size):
        if self.rng.random() < 0.5:
            return self.rng.randbytes(size)
        start = self.rng.randrange(0, len(self.text) - size)
        return self.text[start:start + size]

    def write(self, path, size):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            left = size
            while left > 0:
                n = min(left, 4 * KIB)
                out.write(self.block(n))
                left -= n


def loose_size(rng, _count):
    """Mostly small files, some medium, a few large: about 80 KiB on average."""
    roll = rng.random()
    if roll < 0.80:
        return rng.randint(1 * KIB, 16 * KIB)
    if roll < 0.98:
        return rng.randint(32 * KIB, 256 * KIB)
    return rng.randint(1 * MIB, 4 * MIB)


def fill(data, folder, budget, sizes, folders):
    """Files named by folder and number until `budget` bytes are written."""
    count, written = 0, 0
    while written < budget:
        size = min(sizes(data.rng, count), budget - written)
        sub = folders[count % len(folders)]
        data.write(os.path.join(folder, sub, "%02d" % (count // 500), "f%05d.dat" % count), size)
        written += size
        count += 1
    return count


def game(out, size_mib):
    data = Data(size_mib)
    total = size_mib * MIB
    loose = fill(data, os.path.join(out, "DATA"), total * 40 // 100, loose_size, LOOSE_FOLDERS)
    stored = fill(data, os.path.join(out, "stored"), total * 30 // 100,
                  lambda rng, _count: rng.randint(256 * KIB, 6 * MIB), ["bgm", "sound"])
    packed = fill(data, os.path.join(out, "packed"), total * 30 // 100,
                  lambda rng, count: 8 * MIB if count % 40 == 7 else rng.randint(16 * KIB, 1 * MIB),
                  ["cg", "bg", "chara"])
    print("loose=%d stored=%d packed=%d" % (loose, stored, packed))


def small(out, count):
    data = Data(count)
    for i in range(count):
        data.write(os.path.join(out, "DATA", "small", "d%03d" % (i // 100), "s%05d.dat" % i),
                   data.rng.randint(1 * KIB, 8 * KIB))
    print("small=%d" % count)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "game":
        game(sys.argv[2], int(sys.argv[3]))
    elif len(sys.argv) == 4 and sys.argv[1] == "small":
        small(sys.argv[2], int(sys.argv[3]))
    else:
        sys.exit(__doc__)
