#!/usr/bin/python3
"""Writes Sources/worddatabases/CharacterData.cpp, what the black-list check
needs to guess misspellings that no row lists: which standard characters
writers take for one another, and how common words and characters are.

  readings     the Mandarin readings of the 8,105 characters of the 2013 list
               of standard characters, from Unihan's kTGHZ2013
               (Unihan_Readings.txt, Debian's unicode-data, Unicode licence):
               characters of the same syllable are typed with the same keys
  look-alikes  groups of standard characters that look alike: those sharing a
               phonetic component by Unihan's kPhonetic
               (Unihan_DictionaryLikeData.txt; a simplified character through
               its traditional form, Unihan_Variants.txt), and the pairs of
               LOOK_ALIKES below, written for this program
  costs        how common a single character is as a word of its own, and a
               white-list row number's word, as -ln(share of all words) x 10,
               from the counts of jieba's dict.txt (python3-jieba, MIT/Expat)
  known words  the words of jieba's dict.txt (any count) that the white list
               leaves out but that are one such character away from one of its
               words (秒数 beside 少数, 单选 beside 当选): a word is no slip

    derive-confusables.py           write the file
    derive-confusables.py --check   exit 1 when the file is not what it would write
"""

import bz2
import math
import os
import re
import sys
import unicodedata

from tsvtable import read_jieba_counts, read_rows

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "Sources", "worddatabases", "CharacterData.cpp")
UNIHAN = "/usr/share/unicode/"
JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"
WHITE_LIST = os.path.join(TOP, "data", "dictionary", "白名单.tsv")

# A phonetic series larger than this says little about the look of its members.
LARGEST_SERIES = 16
# Look-alikes that share no phonetic component (or whose simplified forms lost
# it), written for this program: each group is characters a hurried reader
# takes for one another.
LOOK_ALIKES = """
己已巳 未末 戊戌戍 日曰 土士 千干 人入 刀力 天夭 夫失 王玉 主住 免兔 折拆 侯候 历厉 间问
辨辩辫瓣 即既 拔拨 徒徙 逐遂 炙灸 茸葺 戮戳 崇祟 幸辛 赢嬴羸 汩汨 刺剌 祗祇 壶壸 冶治 准淮
锻缎 绵棉锦 栽裁载 撤撒 澈彻撤 晰淅析 苟荀 粟栗 卷券 杨扬 盲肓 竟竞 季李 哀衰衷 盅蛊 渴喝竭
暑署 贷货 崖涯 缘绿 辍缀 侍待 陪倍 睛晴 燥躁噪澡 幕暮墓慕募 毫豪 膺赝鹰 练炼 偿尝 寐寝 籍藉
迁迂 贬砭 祥详 捷睫 鹜骛 赅骇 颍颖 胫径 拙绌 壁璧 僻辟 驰弛 缉辑 蜡腊 概慨 赡瞻 漱嗽 焯绰
删册 恰洽 昧味 既暨 拨泼 峻竣 惦掂 堵赌 晃幌 描苗 劲颈 腌淹 芡欠 酱浆 番蕃 黯暗 桑沧 喧暄
剔惕 涣焕 戴载 宵消 斑班 坝贝 铤挺 衷哀 栋拣 窍诀 蔼霭 蔚尉 裁载 萃粹 谜迷 篮蓝 搏博 泄泻
慨概 躁燥 凑 辩辨 锻 陷馅 决诀 融容 颁搬 刻克 帖贴 候侯 膨彭 氛份 须需 咐附 艰坚 曝暴 妨防
"""

_TONE_MARKS = {"\u0304": "1", "\u0301": "2", "\u030c": "3", "\u0300": "4"}


def unihan_field(file_name, field):
    """{character: value} of one Unihan field."""
    values = {}
    with bz2.open(os.path.join(UNIHAN, file_name), "rt", encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[1] == field:
                values[chr(int(parts[0][2:], 16))] = parts[2]
    return values


def syllable(reading):
    """zhōng -> ("zhong", "1"); a reading without a tone mark is tone 5."""
    tone = "5"
    letters = []
    for c in unicodedata.normalize("NFD", reading):
        if c in _TONE_MARKS:
            tone = _TONE_MARKS[c]
        elif c == "\u0308":
            letters[-1] = "v"
        elif not unicodedata.combining(c):
            letters.append(c)
    return "".join(letters), tone


def standard_readings():
    """{character: [(syllable, tone)]} of the 8,105 standard characters."""
    readings = {}
    for character, value in unihan_field("Unihan_Readings.txt.bz2", "kTGHZ2013").items():
        found = []
        for item in value.split():
            for reading in item.split(":", 1)[1].split(","):
                if syllable(reading) not in found:
                    found.append(syllable(reading))
        readings[character] = found
    return readings


def look_alike_groups(standard):
    series = {}
    phonetic = unihan_field("Unihan_DictionaryLikeData.txt.bz2", "kPhonetic")
    traditional = unihan_field("Unihan_Variants.txt.bz2", "kTraditionalVariant")
    for character in standard:
        classes = phonetic.get(character, "")
        if not classes:
            for form in traditional.get(character, "").split():
                classes += " " + phonetic.get(chr(int(form[2:], 16)), "")
        for number in re.findall(r"\d+[A-Z]?", classes):
            series.setdefault(number, set()).add(character)
    groups = {"".join(sorted(members)) for members in series.values() if 2 <= len(members) <= LARGEST_SERIES}
    for group in LOOK_ALIKES.split():
        members = "".join(sorted(set(c for c in group if c in standard)))
        if len(members) >= 2:
            groups.add(members)
    return sorted(groups)


def is_ideographs(word):
    return all("\u3400" <= c <= "\u9fff" for c in word)


def confusable_neighbours(readings, groups):
    """{character: the characters a writer takes it for}: the same syllable in
    any tone, the other nasal ending (-n/-ng), the same look-alike group; as
    ConfusableWords does it."""
    by_key = {}
    keys = {}
    for character, found in readings.items():
        own = set()
        for name, _ in found:
            own.add(("s", name))
            own.add(("s", name[:-1] if name.endswith("ng") else name + "g" if name.endswith("n") else name))
        keys[character] = own
    for number, group in enumerate(groups):
        for character in group:
            keys.setdefault(character, set()).add(("g", number))
    for character, own in keys.items():
        for key in own:
            by_key.setdefault(key, set()).add(character)
    return {c: set().union(*(by_key[k] for k in own)) - {c} for c, own in keys.items()}


def known_words(counts, readings, groups):
    """Words of jieba's list, two to four characters long, that the white list
    lacks, each one confusable character away from a white-list word."""
    white = {cells[0] for cells in read_rows(WHITE_LIST)}
    neighbours = confusable_neighbours(readings, groups)
    # The white list's words with one character left out -> the characters left out.
    gaps = {}
    for word in white:
        if 2 <= len(word) <= 4:
            for k, c in enumerate(word):
                gaps.setdefault((word[:k], word[k + 1:]), set()).add(c)
    found = []
    for word in sorted(counts):
        if not 2 <= len(word) <= 4 or word in white or not is_ideographs(word):
            continue
        if any(gaps.get((word[:k], word[k + 1:]), set()) & neighbours.get(c, set()) for k, c in enumerate(word)):
            found.append(word)
    return found


def cost(count, total):
    return int(round(10 * math.log(total / count)))


def character_costs(counts, total, standard):
    by_cost = {}
    for character in sorted(standard):
        if counts.get(character):
            by_cost.setdefault(cost(counts[character], total), []).append(character)
    return sorted(by_cost.items())


def row_costs(counts, total):
    """(row, cost) at rows 1, 2, 4, ... and every 2,000 rows beyond 32,768:
    the median cost of the white list's words from that row to the next."""
    words = [cells[0] for cells in read_rows(WHITE_LIST)]
    starts = [1 << k for k in range(16)] + list(range(34000, len(words) + 1, 2000))
    anchors = []
    for k, start in enumerate(starts):
        end = starts[k + 1] if k + 1 < len(starts) else len(words) + 1
        costs = sorted(cost(counts[w], total) if counts.get(w) else 180 for w in words[start - 1:end - 1])
        if costs:
            anchors.append((start, costs[len(costs) // 2]))
    return anchors


def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def render():
    readings = standard_readings()
    by_syllable = {}
    for character in sorted(readings):
        for name, tone in readings[character]:
            by_syllable.setdefault(name, {}).setdefault(tone, []).append(character)
    counts = read_jieba_counts(JIEBA)
    total = sum(counts.values())
    groups = look_alike_groups(set(readings))
    lines = [
        "// Generated by scripts/derive-confusables.py: do not edit.",
        "// From Unihan (kTGHZ2013, kPhonetic, kTraditionalVariant; Debian's unicode-data, Unicode",
        "// licence), our own look-alike pairs, and the word counts of jieba's dict.txt",
        "// (python3-jieba, MIT/Expat licence).",
        "",
        '#include "CharacterData.h"',
        "",
        "namespace CharacterData {",
        "",
        "// A syllable, a tab, then each tone's digit followed by its characters.",
        "const char* const kReadings[] = {",
    ]
    for name in sorted(by_syllable):
        tones = "".join(tone + "".join(chars) for tone, chars in sorted(by_syllable[name].items()))
        lines.append("    " + cpp_string(name + "\t" + tones) + ",")
    lines += ["};", "const int kReadingCount = int(sizeof kReadings / sizeof kReadings[0]);", "",
              "// Characters that look alike, one group per string.", "const char* const kLookAlikes[] = {"]
    for k in range(0, len(groups), 8):
        lines.append("    " + ", ".join(cpp_string(g) for g in groups[k:k + 8]) + ",")
    lines += ["};", "const int kLookAlikeCount = int(sizeof kLookAlikes / sizeof kLookAlikes[0]);", "",
              "// A cost, a tab, then the characters of that cost as words of their own.",
              "const char* const kCharacterCosts[] = {"]
    for value, chars in character_costs(counts, total, set(readings)):
        lines.append("    " + cpp_string("%d\t%s" % (value, "".join(chars))) + ",")
    lines += ["};", "const int kCharacterCostCount = int(sizeof kCharacterCosts / sizeof kCharacterCosts[0]);", "",
              "// {first white-list row, cost of the words from there on}.", "const int kRowCosts[][2] = {"]
    anchors = row_costs(counts, total)
    for k in range(0, len(anchors), 6):
        lines.append("    " + " ".join("{%d, %d}," % a for a in anchors[k:k + 6]))
    lines += ["};", "const int kRowCostCount = int(sizeof kRowCosts / sizeof kRowCosts[0]);", "",
              "// Words the white list leaves out, blank-separated: no slips.", "const char* const kKnownWords[] = {"]
    known = known_words(counts, readings, groups)
    for k in range(0, len(known), 150):
        lines.append("    " + cpp_string(" ".join(known[k:k + 150])) + ",")
    lines += ["};", "const int kKnownWordLineCount = int(sizeof kKnownWords / sizeof kKnownWords[0]);", "",
              "} // namespace CharacterData", ""]
    return "\n".join(lines)


def main():
    for path in (JIEBA, UNIHAN + "Unihan_Readings.txt.bz2"):
        if not os.path.exists(path):
            sys.exit(path + " not found: apt-get install python3-jieba unicode-data")
    text = render()
    if "--check" in sys.argv:
        with open(OUT, encoding="utf-8") as f:
            if f.read() != text:
                sys.exit(OUT + " is not what scripts/derive-confusables.py makes: run it")
        return
    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    print("%s: %d lines" % (OUT, text.count("\n")))


if __name__ == "__main__":
    main()
