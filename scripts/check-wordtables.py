#!/usr/bin/python3
"""Checks the word tables in data/dictionary/ for the faults that make a
checking or embellishing command useless or wrong:

  黑名单   every right form a word of jieba's dictionary or of the white list;
           no wrong form in the white list or the idioms, nor in jieba's
           dictionary unless at least three times rarer than its right form
           (jieba keeps common misspellings at low counts, 帐号 beside 账号 is
           a variant in use); no duplicates, no equal sides
  近义词/反义词  both sides known words, no self-pairs, no pair twice (either order)
  词典     every entry explained, with an example using "～"; every word of
           近义词 and 反义词 and the most frequent two-character words of the
           white list have an entry
  白名单   holds every right form of the black list and every idiom
  sizes    the counts the program needs to be useful, the atom database's
           tables (原子模板/) included

    check-wordtables.py          exit 1 and list the faults
    check-wordtables.py --stats  also print the row counts

Reads jieba's word list from /usr/lib/python3/dist-packages/jieba/dict.txt
(Debian's python3-jieba).
"""

import os
import sys

from tsvtable import read_rows

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(TOP, "data", "dictionary")
JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"

MIN_ROWS = {
    "黑名单": 1000, "近义词": 3000, "反义词": 1000, "词典": 2000,
    "错误标点符号": 100, "网络语言": 100, "量词": 100, "多音字": 100, "英文": 100, "数字": 100,
}
HIGH_FREQUENCY_CHARACTERS = 3500
ATOM_TABLE_ROWS = 30
# The dictionary explains at least this many of the white list's most frequent
# two-character words.
DICTIONARY_TOP_WORDS = 1000
# A wrong form that jieba lists must be at least this many times rarer than
# its right form.
TYPO_RARITY = 3


def read_table(name):
    """Rows of data/dictionary/<name>.tsv as lists of cells."""
    return read_rows(os.path.join(DATA, name + ".tsv"))


def read_jieba():
    counts = {}
    with open(JIEBA, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2:
                counts[parts[0]] = int(parts[1])
    return counts


def check(stats=False):
    faults = []

    def fault(table, text):
        faults.append("%s: %s" % (table, text))

    jieba = read_jieba()
    white_rows = [r[0] for r in read_table("白名单")]
    white = set(white_rows)
    idioms = {r[0] for r in read_table("成语")}
    known = set(jieba) | white | idioms

    counts = {}
    for name in MIN_ROWS:
        rows = read_table(name)
        counts[name] = len(rows)
        if len(rows) < MIN_ROWS[name]:
            fault(name, "%d rows, at least %d needed" % (len(rows), MIN_ROWS[name]))
        for row in rows:
            if any(not cell.strip() or cell != cell.strip() for cell in row):
                fault(name, "empty cell or stray blanks in %r" % "\t".join(row))

    high = [r[0] for r in read_table("高频字")]
    counts["高频字"] = len(high)
    if len(high) != HIGH_FREQUENCY_CHARACTERS or len(set(high)) != len(high):
        fault("高频字", "%d characters (%d distinct), %d needed"
              % (len(high), len(set(high)), HIGH_FREQUENCY_CHARACTERS))

    typos = read_table("黑名单")
    seen = set()
    for row in typos:
        if len(row) != 2:
            fault("黑名单", "not two cells: %r" % row)
            continue
        wrong, right = row
        if wrong == right:
            fault("黑名单", "both sides equal: " + wrong)
        if wrong in seen:
            fault("黑名单", "wrong form twice: " + wrong)
        seen.add(wrong)
        if right not in known:
            fault("黑名单", "right form %s is not a known word" % right)
        if right not in white:
            fault("白名单", "lacks the black list's right form " + right)
        if wrong in white or wrong in idioms:
            fault("黑名单", "wrong form %s is in the white list or the idioms" % wrong)
        elif wrong in jieba and jieba[wrong] * TYPO_RARITY > jieba.get(right, 0):
            fault("黑名单", "wrong form %s (%d) is not rare beside %s (%d) in jieba's dictionary"
                  % (wrong, jieba[wrong], right, jieba.get(right, 0)))
    missing_idioms = idioms - white
    if missing_idioms:
        fault("白名单", "lacks %d idioms, e.g. %s" % (len(missing_idioms), " ".join(sorted(missing_idioms)[:5])))

    pair_words = set()
    for name in ("近义词", "反义词"):
        seen = set()
        for row in read_table(name):
            if len(row) != 2:
                fault(name, "not two cells: %r" % row)
                continue
            a, b = row
            if a == b:
                fault(name, "self-pair " + a)
            key = frozenset((a, b))
            if key in seen:
                fault(name, "pair twice: %s|%s" % (a, b))
            seen.add(key)
            for word in (a, b):
                pair_words.add(word)
                if word not in known:
                    fault(name, "%s is not a known word" % word)
            if name == "近义词" and frozenset((a, b)) in antonyms_of():
                fault(name, "%s|%s is also an antonym pair" % (a, b))

    entries = {}
    for row in read_table("词典"):
        if len(row) != 2 or not row[1].strip():
            fault("词典", "entry without explanation: %r" % row)
            continue
        word, text = row
        if word in entries:
            fault("词典", "entry twice: " + word)
        entries[word] = text
        if "～" not in text:
            fault("词典", "%s has no example using ～" % word)
    for word in sorted(pair_words - set(entries)):
        fault("词典", "no entry for the synonym/antonym word " + word)
    two = [w for w in white_rows if len(w) == 2][:DICTIONARY_TOP_WORDS]
    lacking = [w for w in two if w not in entries]
    if lacking:
        fault("词典", "%d of the %d most frequent two-character words lack an entry, e.g. %s"
              % (len(lacking), DICTIONARY_TOP_WORDS, " ".join(lacking[:10])))

    # The atom database's tables: enough variants that expansion does not repeat itself.
    atoms = os.path.join(DATA, "原子模板")
    for name in sorted(os.listdir(atoms)):
        if name.endswith(".tsv"):
            rows = read_table(os.path.join("原子模板", name[:-4]))
            if len(rows) < ATOM_TABLE_ROWS:
                fault("原子模板/" + name[:-4], "%d rows, at least %d needed" % (len(rows), ATOM_TABLE_ROWS))

    if stats:
        for name in sorted(counts):
            print("%s\t%d" % (name, counts[name]))
    return faults


_ANTONYMS = None


def antonyms_of():
    global _ANTONYMS
    if _ANTONYMS is None:
        _ANTONYMS = {frozenset(r) for r in read_table("反义词") if len(r) == 2}
    return _ANTONYMS


def main():
    if not os.path.exists(JIEBA):
        sys.exit(JIEBA + " not found: apt-get install python3-jieba")
    faults = check("--stats" in sys.argv)
    for line in faults[:200]:
        print(line, file=sys.stderr)
    if len(faults) > 200:
        print("... and %d more" % (len(faults) - 200), file=sys.stderr)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
