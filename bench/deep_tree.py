#!/usr/bin/env python3
"""Makes a tree of deep folders with long names, where path keys cost the most.

    bench/deep_tree.py ROOT [FILES]      (FILES: 1000000 by default)

Folders nest eleven levels deep, so a file's Windows path ("D:\\" + folders + name)
averages about 270 characters. Names have 3 to 40 characters, about one in twelve with
a character outside ASCII (two or three UTF-8 bytes). Files are sparse, sized from one
byte to 8 MB on a logarithmic scale, so the tree takes inodes and next to no data. The
same seed makes the same tree. Prints the figures of what it made.
"""
import math
import os
import random
import sys

LEVELS = 11
FILES_PER_LEAF = 12
PLAIN = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_ "
OTHER = "éüßøçñåÉÜæœ日本語Ωжπ€"


def name(random_, taken):
    while True:
        length = random_.randint(3, 40)
        chars = [random_.choice(PLAIN) for _ in range(length)]
        if random_.random() < 1 / 12:
            for _ in range(random_.randint(1, 3)):
                chars[random_.randrange(length)] = random_.choice(OTHER)
        text = "".join(chars).strip()
        if len(text) >= 3 and text not in taken:
            taken.add(text)
            return text


def fanouts(files):
    """Children per level so that the leaves hold about FILES_PER_LEAF files each."""
    leaves = max(1, files // FILES_PER_LEAF)
    result = []
    for level in range(LEVELS):
        fanout = max(1, math.ceil(leaves ** (1 / (LEVELS - level))))
        result.append(fanout)
        leaves = max(1, math.ceil(leaves / fanout))
    return result


def main():
    root = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    random_ = random.Random(20240615)
    levels = fanouts(files)
    leaf_count = math.prod(levels)
    made = {"files": 0, "folders": 0, "path_chars": 0, "path_bytes": 0, "non_ascii": 0}

    def make_file(folder, windows_folder, taken):
        file_name = name(random_, taken)
        size = int(2 ** random_.uniform(0, 23))
        fd = os.open(os.path.join(folder, file_name), os.O_CREAT | os.O_WRONLY | os.O_EXCL, 0o644)
        os.ftruncate(fd, size)
        os.close(fd)
        path = windows_folder + file_name
        made["files"] += 1
        made["path_chars"] += len(path)
        made["path_bytes"] += len(path.encode())
        made["non_ascii"] += any(ord(c) > 127 for c in file_name)

    leaves_done = 0

    def fill(folder, windows_folder, level):
        nonlocal leaves_done
        taken = set()
        if level == LEVELS:
            # Spread the files evenly over the leaves.
            share = (files * (leaves_done + 1)) // leaf_count - (files * leaves_done) // leaf_count
            leaves_done += 1
            for _ in range(share):
                make_file(folder, windows_folder, taken)
            return
        for _ in range(levels[level]):
            child = name(random_, taken)
            path = os.path.join(folder, child)
            os.mkdir(path)
            made["folders"] += 1
            fill(path, windows_folder + child + "\\", level + 1)

    os.makedirs(root, exist_ok=False)
    fill(root, "D:\\", 0)
    print("files %d, folders %d, levels %d (fan-outs %s), average path %.0f characters "
          "(%.0f bytes), %.1f %% of names outside ASCII"
          % (made["files"], made["folders"], LEVELS, levels,
             made["path_chars"] / max(made["files"], 1), made["path_bytes"] / max(made["files"], 1),
             100.0 * made["non_ascii"] / max(made["files"], 1)))


if __name__ == "__main__":
    main()
