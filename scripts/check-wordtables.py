#!/usr/bin/python3
"""Checks the word tables in data/dictionary/ for the faults that make a
checking or embellishing command useless or wrong:

  黑名单   every right form a word of jieba's dictionary or of the white list;
           no wrong form in the white list or the idioms, nor in jieba's
           dictionary unless at least three times rarer than its right form
           (jieba keeps common misspellings at low counts) or a non-recommended
           variant form (VARIANT_SECTION); no form that reads as ordinary
           words (NOT_WRONG_FORMS); no duplicates, no equal sides
  近义词/反义词  both sides known words, no self-pairs, no pair twice (either order)
  近义词   no more than SYNONYM_GROUP_MAX words joined by chains of pairs (the
           transitive mode takes A = B and B = C as A = C)
  词典     every entry in the form below; every word of 近义词 and 反义词 and
           the most frequent two-character words of the white list have an entry
  高频字   exactly the 3,500 characters of the first level of the 2013 list of
           standard characters in common use (Unihan's kTGH, unicode-data)
  白名单   holds every right form of the black list and every idiom
  姓氏     at least the 300 most common surnames, both forms of 萧/肖, 傅/付, 阎/闫
  sizes    the counts the program needs to be useful, the atom database's
           tables (原子模板/) included

    check-wordtables.py          exit 1 and list the faults
    check-wordtables.py --stats  also print the row counts
    check-wordtables.py --entries FILE...
                                 check only the form of the entries of
                                 dictionary sources (data/wordsources/词典/)
    check-wordtables.py --rows FOLDER
                                 check only the rows of black-list sources
                                 in FOLDER (as data/wordsources/黑名单/)

A dictionary entry is its senses, "\n例：" and its examples separated by "｜":
  〈动〉meaning。\n例：example｜example
  ①〈名〉meaning。②〈动〉meaning。\n例：example｜example
A meaning is said in our own words: it never opens with a desk dictionary's
formula (指……, 泛指……, 比喻……, 形容……) nor carries an opposite tag
("（与“厚”相对）").
A sense starts with its part of speech (one of TAGS; 〈成〉 marks an idiom), or
none of the senses has one (a phrase). Every meaning ends with "。"; every
example is a sentence of its own: it uses "～", ends with 。！or？ (a closing
quotation mark may follow) and holds at least 8 characters once "～" is the
word.

Reads jieba's word list from /usr/lib/python3/dist-packages/jieba/dict.txt
(Debian's python3-jieba) and the Unihan mappings of Debian's unicode-data.
"""

import os
import re
import subprocess
import sys

from tsvtable import read_jieba_counts, read_rows
from unihan import UNIHAN_MAPPINGS, first_level_characters

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(TOP, "data", "dictionary")
JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"

MIN_ROWS = {
    "黑名单": 1000, "近义词": 3000, "反义词": 1000, "词典": 2000,
    "错误标点符号": 100, "网络语言": 100, "量词": 100, "多音字": 100, "英文": 100, "数字": 100,
    "姓氏": 300,
}
# Surnames that were once merged into another form, both forms kept.
SURNAME_PAIRS = ["萧", "肖", "傅", "付", "阎", "闫"]
HIGH_FREQUENCY_CHARACTERS = 3500
ATOM_TABLE_ROWS = 30
# The dictionary explains at least this many of the white list's most frequent
# two-character words.
DICTIONARY_TOP_WORDS = 1000
# Parts of speech a sense may carry, and the marker of an idiom.
TAGS = {"名", "动", "形", "副", "代", "数", "量", "介", "连", "助", "叹", "拟声", "成"}
EXAMPLE_MIN_CHARACTERS = 8
# A wrong form that jieba lists must be at least this many times rarer than
# its right form.
TYPO_RARITY = 3
# jieba counts the rare words of its list a few times each: at this count or
# below, a count says nothing about how rare a form is.
JIEBA_FEW = 5
# The most words that chains of synonym pairs may join into one group.
SYNONYM_GROUP_MAX = 8
# Forms that look like misspellings but are variants in common use, or that
# read as ordinary words (冷 + 不妨, 市场 + 竟 + 争): never black-list rows.
NOT_WRONG_FORMS = set("""寂默 帽沿 前赴后继 名不符实 不负重望 深恶痛疾 冷不妨 市场竟争 标识 份子""".split())
# The black list's rows after this comment are the non-recommended forms of
# the standard for variant word forms: jieba may count them as often as the
# recommended ones.
VARIANT_SECTION = "# Non-recommended variant forms"
# The black list's source of collocations (data/wordsources/黑名单/): rows whose
# wrong form is made of real words (带口罩, 一颗大树), each perhaps after a note
# "# needs: not after X/Y" naming characters it may follow in correct text.
COLLOCATIONS = "搭配.txt"
NOTE_PREFIX = "# needs: not after"
# The black-list check reads no more characters at once.
LONGEST_WRONG_FORM = 4


def read_table(name):
    """Rows of data/dictionary/<name>.tsv as lists of cells."""
    return read_rows(os.path.join(DATA, name + ".tsv"))


def check(stats=False):
    faults = []

    def fault(table, text):
        faults.append("%s: %s" % (table, text))

    jieba = read_jieba_counts(JIEBA)
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

    surnames = {r[0] for r in read_table("姓氏")}
    lacking_surnames = [c for c in SURNAME_PAIRS if c not in surnames]
    if lacking_surnames:
        fault("姓氏", "lacks " + " ".join(lacking_surnames))

    high = [r[0] for r in read_table("高频字")]
    counts["高频字"] = len(high)
    if len(high) != HIGH_FREQUENCY_CHARACTERS or len(set(high)) != len(high):
        fault("高频字", "%d characters (%d distinct), %d needed"
              % (len(high), len(set(high)), HIGH_FREQUENCY_CHARACTERS))
    first_level = set(first_level_characters())
    strangers = [c for c in high if c not in first_level]
    if strangers:
        fault("高频字", "%d rows are not first-level standard characters, e.g. %s"
              % (len(strangers), " ".join(strangers[:10])))
    missing = sorted(first_level - set(high))
    if missing:
        fault("高频字", "%d first-level standard characters are missing, e.g. %s"
              % (len(missing), " ".join(missing[:10])))

    typos = read_table("黑名单")
    variants = variant_rows()
    collocations = set()
    for problem, wrong in black_list_source_faults(white, idioms, known):
        if problem:
            fault("黑名单", problem)
        else:
            collocations.add(wrong)
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
        if right not in known and wrong not in collocations:
            fault("黑名单", "right form %s is not a known word" % right)
        if right not in white and wrong not in collocations:
            fault("白名单", "lacks the black list's right form " + right)
        if wrong in NOT_WRONG_FORMS:
            fault("黑名单", "%s is a variant in use or reads as ordinary words, no wrong form" % wrong)
        if wrong in white or wrong in idioms:
            fault("黑名单", "wrong form %s is in the white list or the idioms" % wrong)
        elif (jieba.get(wrong, 0) > JIEBA_FEW and jieba[wrong] * TYPO_RARITY > jieba.get(right, 0)
              and wrong not in variants):
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

    faults += synonym_group_faults(read_table("近义词"))

    entries = {}
    for row in read_table("词典"):
        if len(row) != 2 or not row[1].strip():
            fault("词典", "entry without explanation: %r" % row)
            continue
        word, text = row
        if word in entries:
            fault("词典", "entry twice: " + word)
        entries[word] = text
        for problem in entry_faults(word, text):
            fault("词典", "%s: %s" % (word, problem))
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

    # What the black list guesses by is what scripts/derive-confusables.py makes.
    script = os.path.join(TOP, "scripts", "derive-confusables.py")
    derived = subprocess.run([sys.executable, script, "--check"], capture_output=True, text=True)
    if derived.returncode != 0:
        fault("黑名单", "the character data is not current: " + (derived.stderr or derived.stdout).strip())

    if stats:
        for name in sorted(counts):
            print("%s\t%d" % (name, counts[name]))
    return faults


BLACK_LIST_SOURCES = os.path.join(TOP, "data", "wordsources", "黑名单")


def black_list_sources(folder=BLACK_LIST_SOURCES):
    """(file name, line number, wrong, right, the characters of its "needs: not
    after" note) of every row of the black list's sources."""
    rows = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".txt"):
            continue
        note = ""
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                line = line.strip()
                if line.startswith(NOTE_PREFIX):
                    note = line[len(NOTE_PREFIX):].split("(")[0].replace("/", "").replace(" ", "")
                elif line and not line.startswith("#"):
                    cells = line.split("\t")
                    rows.append((name, number, cells[0], cells[1] if len(cells) > 1 else "", note))
                    note = ""
    return rows


def black_list_source_faults(white, idioms, known, folder=BLACK_LIST_SOURCES):
    """(fault, wrong form) per fault of the black list's sources, and (None,
    wrong form) for every row of the collocations: a row's two forms have the
    same length and differ in one or two characters; a collocation's right form
    holds a known word, and each character of its "not after" note starts a
    white-list word that runs into the wrong form, which keeps the mark off
    where the wrong form is a phrase (three characters or more, no idiom's)."""
    results = []
    for name, number, wrong, right, note in black_list_sources(folder):
        where = "%s:%d: %s\t%s: " % (name, number, wrong, right)
        differ = sum(1 for a, b in zip(wrong, right) if a != b)
        if len(wrong) != len(right):
            results.append((where + "the two forms differ in length", wrong))
        elif len(wrong) > LONGEST_WRONG_FORM:
            results.append((where + "longer than the %d characters the check reads" % LONGEST_WRONG_FORM, wrong))
        elif not 1 <= differ <= 2:
            results.append((where + "the two forms differ in %d characters" % differ, wrong))
        if name != COLLOCATIONS:
            if note:
                results.append((where + "\"not after\" notes belong to " + COLLOCATIONS, wrong))
            continue
        results.append((None, wrong))
        if not any(right[i:j] in known for i in range(len(right)) for j in range(i + 2, len(right) + 1)):
            results.append((where + "the right form holds no known word", wrong))
        if note and (len(wrong) < 3 or right in idioms):
            results.append((where + "a \"not after\" note needs a phrase of three characters or more, no idiom's",
                            wrong))
        for c in note:
            if not any(c + wrong[:j] in white or c + wrong[:j] in idioms for j in range(1, len(wrong))):
                results.append((where + "no white-list word %s%s… keeps it from marking after %s" % (c, wrong[0], c),
                                wrong))
    return results


def variant_rows():
    """The wrong forms of the black list's part of non-recommended variant forms."""
    forms, inside = set(), False
    with open(os.path.join(DATA, "黑名单.tsv"), encoding="utf-8") as f:
        for line in f:
            if line.startswith(VARIANT_SECTION):
                inside = True
            elif inside and not line.startswith("#") and "\t" in line:
                forms.add(line.split("\t")[0])
    return forms


def synonym_group_faults(rows):
    """Groups of words that chains of synonym pairs join and that are larger
    than SYNONYM_GROUP_MAX, one fault each naming the words."""
    neighbours = {}
    for row in rows:
        if len(row) == 2:
            a, b = row
            neighbours.setdefault(a, set()).add(b)
            neighbours.setdefault(b, set()).add(a)
    faults, seen = [], set()
    for start in neighbours:
        if start in seen:
            continue
        group, todo = [], [start]
        seen.add(start)
        while todo:
            word = todo.pop()
            group.append(word)
            for other in neighbours[word] - seen:
                seen.add(other)
                todo.append(other)
        if len(group) > SYNONYM_GROUP_MAX:
            faults.append("近义词: %d words joined by chains of pairs, at most %d allowed: %s"
                          % (len(group), SYNONYM_GROUP_MAX, " ".join(sorted(group))))
    return faults


SENSE_NUMBERS = "①②③④⑤⑥⑦⑧⑨⑩"
_TAG = re.compile(r"〈([^〈〉]*)〉")
_SENTENCE_END = re.compile(r"[。！？][”’」』）]*$")
_COUNTED = re.compile(r"[\u3400-\u9fff\uf900-\ufaffA-Za-z0-9０-９]")


# The formulas of a desk dictionary: a meaning is said in our own words, never
# as "（与“厚”相对）" nor opening with 指……, 比喻……, 形容…….
_OPPOSITE_TAG = re.compile(r"[（(][^（()）]*[“\"][^”\"]+[”\"][^（()）]*相(对|反)[）)]")
_FORMULA_OPENINGS = ("泛指", "借指", "比喻", "形容", "指", "谓", "犹")


def entry_faults(word, text):
    """What is wrong with the form of one dictionary entry (empty when nothing)."""
    faults = []
    senses_text, sep, examples_text = text.partition("\\n例：")
    if not sep:
        return ["no \"\\n例：\" before the examples"]
    if "\\n" in examples_text or "\\n" in senses_text:
        faults.append("more than one line of senses or examples")
    if senses_text and senses_text[0] in SENSE_NUMBERS:
        senses = re.split("[%s]" % SENSE_NUMBERS, senses_text)[1:]
        numbers = [c for c in senses_text if c in SENSE_NUMBERS]
        if numbers != list(SENSE_NUMBERS[:len(numbers)]):
            faults.append("senses not numbered ①② … in order")
        if len(senses) < 2:
            faults.append("one sense numbered ①")
    elif any(c in SENSE_NUMBERS for c in senses_text):
        return faults + ["text before sense ①"]
    else:
        senses = [senses_text]
    tagged = [bool(re.match(_TAG, s)) for s in senses]
    if any(tagged) and not all(tagged):
        faults.append("some senses without a part of speech")
    for sense in senses:
        tags = _TAG.findall(sense)
        if len(tags) > 1 or (tags and not sense.startswith("〈")):
            faults.append("a part of speech inside a sense (number the senses): " + sense)
        for tag in tags:
            if tag not in TAGS:
                faults.append("unknown part of speech 〈%s〉" % tag)
        meaning = _TAG.sub("", sense, count=1)
        if len(meaning) < 2 or not meaning.endswith("。"):
            faults.append("a meaning that does not end with 。: " + sense)
        if meaning.startswith(_FORMULA_OPENINGS):
            faults.append("a meaning that opens with a dictionary formula (指, 比喻, 形容 …): " + sense)
        if _OPPOSITE_TAG.search(meaning):
            faults.append("an opposite tag such as （与“厚”相对）: " + sense)
    examples = examples_text.split("｜")
    for example in examples:
        if "～" not in example:
            faults.append("example without ～: " + example)
        if not _SENTENCE_END.search(example):
            faults.append("example is not a sentence ending with 。！？: " + example)
        if len(_COUNTED.findall(example.replace("～", word))) < EXAMPLE_MIN_CHARACTERS:
            faults.append("example shorter than %d characters: %s" % (EXAMPLE_MIN_CHARACTERS, example))
    return faults


def check_entry_files(paths):
    """Faults of the entries of dictionary source files, one line per fault."""
    faults, seen = [], {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                line = line.rstrip("\n")
                if not line.strip() or line.startswith("#"):
                    continue
                where = "%s:%d" % (os.path.basename(path), number)
                word, tab, text = line.partition("\t")
                if not tab or not word or not text or word != word.strip() or text != text.strip():
                    faults.append("%s: expected \"word<TAB>entry\"" % where)
                    continue
                if word in seen:
                    faults.append("%s: %s already has an entry at %s" % (where, word, seen[word]))
                seen[word] = where
                faults += ["%s: %s: %s" % (where, word, fault) for fault in entry_faults(word, text)]
    return faults


def check_row_sources(folder):
    """Faults of the rows of black-list sources in folder, one line per fault."""
    white = {r[0] for r in read_table("白名单")}
    idioms = {r[0] for r in read_table("成语")}
    known = set(read_jieba_counts(JIEBA)) | white | idioms
    return [problem for problem, _ in black_list_source_faults(white, idioms, known, folder) if problem]


_ANTONYMS = None


def antonyms_of():
    global _ANTONYMS
    if _ANTONYMS is None:
        _ANTONYMS = {frozenset(r) for r in read_table("反义词") if len(r) == 2}
    return _ANTONYMS


def main():
    if not os.path.exists(JIEBA):
        sys.exit(JIEBA + " not found: apt-get install python3-jieba")
    if not os.path.exists(UNIHAN_MAPPINGS):
        sys.exit(UNIHAN_MAPPINGS + " not found: apt-get install unicode-data")
    if "--entries" in sys.argv:
        faults = check_entry_files(sys.argv[sys.argv.index("--entries") + 1:])
    elif "--rows" in sys.argv:
        faults = check_row_sources(sys.argv[sys.argv.index("--rows") + 1])
    else:
        faults = check("--stats" in sys.argv)
    for line in faults[:200]:
        print(line, file=sys.stderr)
    if len(faults) > 200:
        print("... and %d more" % (len(faults) - 200), file=sys.stderr)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
