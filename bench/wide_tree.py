#!/usr/bin/env python3
"""Makes a wide tree of the kinds that fill big drives: mail folders, caches, source trees.

    bench/wide_tree.py ROOT [FILES]      (FILES: 5000000 by default)

Four tenths of the files are mail: users with maildir folders (cur, new, tmp) whose
message counts spread on a logarithmic scale, the largest inbox holding a tenth of
all mail in one folder (over 100,000 files at the default size). Three tenths are
caches: two levels of two-hex-digit folders holding files named by 38 hex digits.
Three tenths are source trees: projects of nested modules with sources, headers and
objects. Files are sparse, sized as their kind is, so the tree takes inodes and next
to no data. The same seed makes the same tree. Prints the figures of what it made.
"""
import math
import os
import random
import sys


class Maker:
    def __init__(self, seed):
        self.random = random.Random(seed)
        self.files = 0
        self.folders = 0
        self.largest_folder = 0

    def folder(self, path):
        os.mkdir(path)
        self.folders += 1
        return path

    def file(self, path, size):
        fd = os.open(path, os.O_CREAT | os.O_WRONLY | os.O_EXCL, 0o644)
        if size:
            os.ftruncate(fd, size)
        os.close(fd)
        self.files += 1

    def size(self, low_bits, high_bits):
        return int(2 ** self.random.uniform(low_bits, high_bits))

    def counted(self, count):
        self.largest_folder = max(self.largest_folder, count)
        return count


def split(total, weights):
    """Splits total into whole shares proportional to weights, summing to total."""
    whole = sum(weights)
    shares, given, running = [], 0, 0.0
    for weight in weights:
        running += weight
        share = round(total * running / whole) - given
        shares.append(share)
        given += share
    return shares


def mail(maker, root, files):
    users = max(1, files // 100000)
    inbox = files // 10
    stamp = 1400000000
    for user, user_files in enumerate(split(files - inbox, [1.0 / (u + 1) for u in range(users)])):
        home = maker.folder(os.path.join(root, "user%03d" % user))
        boxes = ["INBOX", "Sent", "Drafts", "Trash", "Junk"] + ["Archive-%d" % year for year in
                                                               range(2008, 2027)]
        boxes += ["lists-%02d" % n for n in range(max(1, len(boxes) * 2))]
        weights = [maker.random.uniform(0.05, 1.0) ** 3 for _ in boxes]
        shares = split(user_files, weights)
        if user == 0:
            shares[0] += inbox  # one folder of 100k+ files, where a list has the most to show
        for box, box_files in zip(boxes, shares):
            box_path = maker.folder(os.path.join(home, box))
            sub = {name: maker.folder(os.path.join(box_path, name)) for name in ("cur", "new", "tmp")}
            fresh = box_files // 50
            for where, count in (("cur", maker.counted(box_files - fresh)), ("new", fresh)):
                for n in range(count):
                    stamp += maker.random.randint(1, 600)
                    size = maker.size(10, 18)
                    flags = ":2,S" if where == "cur" else ""
                    name = "%d.M%dP%d.mailhost,S=%d%s" % (stamp, maker.random.randrange(10 ** 6),
                                                          maker.random.randrange(1, 99999), size, flags)
                    maker.file(os.path.join(sub[where], name), size)


def caches(maker, root, files):
    apps = max(1, files // 250000)
    for app, app_files in enumerate(split(files, [1] * apps)):
        top = maker.folder(os.path.join(root, "cache%02d" % app))
        buckets = [(a, b) for a in range(256) for b in range(16)]
        for (a, b), count in zip(buckets, split(app_files, [1] * len(buckets))):
            outer = os.path.join(top, "%02x" % a)
            if b == 0:
                maker.folder(outer)
            inner = maker.folder(os.path.join(outer, "%02x" % (b * 16)))
            for _ in range(maker.counted(count)):
                maker.file(os.path.join(inner, "%038x" % maker.random.getrandbits(152)), maker.size(6, 20))


WORDS = ("core net io ui util base common render parse codec audio video crypto http json "
         "test bench tools driver fs sched mem log config plugin db sql proto rpc time").split()


def source(maker, root, files):
    made = 0
    project = 0
    while made < files:
        top = maker.folder(os.path.join(root, "project%03d-%s" % (project, maker.random.choice(WORDS))))
        project += 1
        # A project of up to 60,000 files in modules nested four deep.
        made += module(maker, top, min(files - made, maker.random.randint(5000, 60000)), 0)


def module(maker, path, files, depth):
    """Fills path with up to files files: some here, the rest in child modules."""
    here = files if depth == 4 or files <= 40 else maker.random.randint(8, 40)
    taken = set()
    for n in range(maker.counted(here)):
        stem = "%s_%s%d" % (maker.random.choice(WORDS), maker.random.choice(WORDS), n)
        extension = maker.random.choice((".c", ".cpp", ".h", ".o", ".py", ".rs", ".md"))
        size = maker.size(14, 22) if extension == ".o" else maker.size(8, 16)
        maker.file(os.path.join(path, stem + extension), size)
    rest = files - here
    if rest <= 0:
        return here
    children = max(1, min(20, math.ceil(rest / 400)))
    names = set()
    while len(names) < children:
        names.add(maker.random.choice(WORDS) + ("" if len(names) < len(WORDS) // 2 else str(len(names))))
    made = here
    for name, share in zip(sorted(names), split(rest, [maker.random.uniform(0.2, 1.0) for _ in names])):
        made += module(maker, maker.folder(os.path.join(path, name)), share, depth + 1)
    return made


def main():
    root = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 5000000
    maker = Maker(20261209)
    os.makedirs(root, exist_ok=False)
    mail_files, cache_files, source_files = split(files, [4, 3, 3])
    mail(maker, maker.folder(os.path.join(root, "mail")), mail_files)
    caches(maker, maker.folder(os.path.join(root, "caches")), cache_files)
    source(maker, maker.folder(os.path.join(root, "src")), source_files)
    print("files %d, folders %d, largest folder %d files"
          % (maker.files, maker.folders, maker.largest_folder))


if __name__ == "__main__":
    main()
