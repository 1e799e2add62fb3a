#!/usr/bin/env python3
"""Writes one workload of the end-to-end benchmark into an empty folder, the same bytes, names
and write times on every run (fixed seeds), and prints its file count and byte count.

    bench-workload.py big|small|mixed|one FOLDER [--quick]

big    one file (2 GiB; 64 MiB with --quick)
small  20,000 files of 4 KiB in 200 folders (500 in 5 with --quick)
mixed  2,000 files of sizes from none to about 20 MB, about 2.5 GB in 40 nested folders,
       some with Japanese names (100 files, about 100 MB with --quick)
one    a single file of one byte (the fixed cost of a copy)

Contents are pseudo-random (nothing compresses); write times carry milliseconds.
"""
import math
import os
import random
import sys

CHUNK = 1 << 20
# 2019-06-01 00:00:00 UTC: write times are spread over the year after it.
EPOCH_NS = 1559347200 * 10**9


def write_file(path, size, rng):
    with open(path, "wb") as out:
        left = size
        while left:
            n = min(left, CHUNK)
            out.write(rng.randbytes(n))
            left -= n
    stamp = EPOCH_NS + rng.randrange(365 * 86400 * 1000) * 10**6
    os.utime(path, ns=(stamp, stamp))


def big(root, quick, rng):
    size = (64 << 20) if quick else (2 << 30)
    write_file(os.path.join(root, "big.bin"), size, rng)
    return [size]


def small(root, quick, rng):
    folders, per_folder = (5, 100) if quick else (200, 100)
    sizes = []
    for d in range(folders):
        folder = os.path.join(root, "small", f"d{d:03d}")
        os.makedirs(folder)
        for f in range(per_folder):
            write_file(os.path.join(folder, f"f{f:03d}.dat"), 4096, rng)
            sizes.append(4096)
    return sizes


def mixed(root, quick, rng):
    count, total = (100, 100 * 10**6) if quick else (2000, 2_500_000_000)
    # Log-uniform sizes between 16 bytes and 64 MiB, scaled to the total; a few empty files.
    raw = [math.exp(rng.uniform(math.log(16), math.log(64 << 20))) for _ in range(count)]
    scale = total / sum(raw)
    sizes = [int(s * scale) for s in raw]
    for i in range(0, count, 97):
        sizes[i] = 0
    names = ["写真", "文書", "音楽", "project", "backup"]
    folders = []
    for i in range(40):
        parent = rng.choice(folders) if folders and rng.random() < 0.6 else os.path.join(root, "mixed")
        folder = os.path.join(parent, f"{names[i % len(names)]}{i:02d}")
        os.makedirs(folder)
        folders.append(folder)
    for i, size in enumerate(sizes):
        folder = folders[rng.randrange(len(folders))]
        write_file(os.path.join(folder, f"ファイル{i:04d}.bin" if i % 3 == 0 else f"file{i:04d}.bin"),
                   size, rng)
    return sizes


def one(root, quick, rng):
    write_file(os.path.join(root, "one.txt"), 1, rng)
    return [1]


def main():
    kind, root = sys.argv[1], sys.argv[2]
    quick = "--quick" in sys.argv[3:]
    makers = {"big": big, "small": small, "mixed": mixed, "one": one}
    if kind not in makers or (os.path.exists(root) and os.listdir(root)):
        sys.exit(f"usage: {sys.argv[0]} big|small|mixed|one EMPTY_FOLDER [--quick]")
    os.makedirs(root, exist_ok=True)
    sizes = makers[kind](root, quick, random.Random(f"tandrix-bench-{kind}"))
    print(len(sizes), sum(sizes))


if __name__ == "__main__":
    main()
