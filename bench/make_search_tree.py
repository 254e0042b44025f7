#!/usr/bin/env python3
"""Builds a tree of drafts for the find-in-files benchmark.

usage: make_search_tree.py DIR [FILES] [MEGABYTES]

About FILES files (default 20000) totalling about MEGABYTES (default 200) in
100 folders: GB18030, UTF-8 and UTF-8 with a byte-order mark, plus a few
binaries. One line in about a thousand holds the word 塔泉笔.
"""
import os
import random
import sys

WORD = "塔泉笔"


def main():
    root = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    megabytes = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    rng = random.Random(20261208)
    chars = [chr(c) for c in range(0x4E00, 0x9FA6)]
    pool = []
    for i in range(4000):
        line = "".join(rng.choice(chars) for _ in range(rng.randint(10, 40)))
        if i % 1000 == 7:
            cut = rng.randint(0, len(line))
            line = line[:cut] + WORD + line[cut:]
        pool.append(line + "\n")
    per_file = megabytes * 1024 * 1024 // files
    for n in range(files):
        folder = os.path.join(root, "d%02d" % (n % 100))
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "draft%05d.txt" % n)
        if n % 1000 == 999:
            with open(path, "wb") as out:
                out.write(b"\x7fELF\x00\x00" + bytes(rng.getrandbits(8) for _ in range(per_file)))
            continue
        lines = []
        size = 0
        while size < per_file:
            line = rng.choice(pool)
            lines.append(line)
            size += len(line) * 2 + 1
        text = "".join(lines)
        kind = n % 20
        if kind < 8:
            data = text.encode("gb18030")
        elif kind < 17:
            data = text.encode("utf-8")
        else:
            data = b"\xef\xbb\xbf" + text.encode("utf-8")
        with open(path, "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
