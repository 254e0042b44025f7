#!/usr/bin/env python3
"""Derives the large word lists in data/dictionary/ from the word list that
Debian's python3-jieba ships (jieba/dict.txt: "word frequency tag" per line,
MIT/Expat licence; the notice is kept in data/dictionary/LICENSE-jieba.txt),
and 高频字 from the Unihan database that Debian's unicode-data ships
(Unihan_OtherMappings.txt.bz2, Unicode licence): the characters whose kTGH
number puts them in the first level (1 to 3500) of the 2013 list of standard
characters in common use.

Maintainers only: the derived TSV files are committed, the build does not
need jieba.  apt-get install python3-jieba unicode-data && python3 scripts/derive-dictionary.py
"""

import os
import sys

from tsvtable import read_rows
from unihan import UNIHAN_MAPPINGS, first_level_characters

DICT = "/usr/lib/python3/dist-packages/jieba/dict.txt"
TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "data", "dictionary")

WHITE_LIST_SIZE = 60000
# Two-character words rarer than the white list's most frequent ones join it
# from this count on: below it jieba's list holds many misspellings.
WHITE_LIST_TWO_CHARACTER_MIN_COUNT = 5
IDIOM_COUNT = 10000
PLACE_COUNT = 6000
ADJECTIVE_COUNT = 3000
HIGH_FREQUENCY_CHARACTERS = 3500

NUMERAL_CHARACTERS = set("零〇一二三四五六七八九十百千万亿两壹贰叁肆伍陆柒捌玖拾佰仟第半几")
# Tagged as place names by jieba, but ordinary words in running text.
NOT_PLACES = set("""东西 爱国 城市 平原 外国 东 南 西 北 中 湖 河 山 海 江 京 美 德 朝 云 乡下 农村
故乡 家乡 全国 各地 本地 外地 内地 当地 异地 两地 天下 世界 国家 祖国 国内 国外 山区 林区 市区 郊区
城乡 城里 乡村 边疆 沿海 中央 地方 海外 高原 盆地 草原 沙漠 大陆 岛屿 海岸 山脉 江山 山河 河山 东方
西方 南方 北方 中部 东部 西部 南部 北部 华夏 神州 中华 人间 天堂 地狱 宇宙 太空""".split())


# Made only of numeral characters, but ordinary words ("very", "in case", "must").
NOT_NUMERALS = set("十分 万一 千万 万万 一一 一二 第 几".split())
# Tagged as adjectives by jieba, but verbs, nouns, adverbs or names.
NOT_ADJECTIVES = set("""合同 重建 微软 落实 配套 一大 正要 伤害 重新 不久 充满 封建 根本 尊重 很大 较大 极大
最大 最高 最低 正好 不满""".split())

PLACE_SUFFIXES = set("省市县区州镇乡村岛洲国京城山河湖江海湾峡港")
# Ending like a place but ordinary words, or generic place words.
NOT_PLACE_SUFFIXED = set("""上市 股市 超市 都市 城市 夜市 集市 开市 门市 罢市 入市 来市 全市 本市 该市 各市
开国 建国 王国 全国 外国 各国 本国 出国 回国 爱国 两国 大国 强国 小国 邻国 祖国 敌国 异国 报国 治国 救国
共和国 帝国 联合国 自治州 自治县 自治区 全县 本县 该县 全省 本省 该省 外省 各省 全区 本区 该区 市区 城区 郊区
江湖 山河 江山 河山 湖泊 海洋 大海 上海滩 出海 下海 入海 沿海 近海 深海 公海 领海 航海 人海 火海 苦海 北海道
县城 京城 进城 出城 全城 古城 名城 新城 长城 满城 攻城 守城 围城 城城 大山 上山 下山 江山 高山 深山 登山 出山
靠山 火山 冰山 矿山 荒山 山山 黄河 银河 运河 冰河 天河 渡河 过河 护城河 港湾 海湾 海港 军港 渔港 商港 进港 出港
三自爱国 安邦治国 科教兴市 古三国 夫人城 安七州
海峡 三峡 村村 乡村 农村 山村 渔村 全村 本村 该村 小镇 城镇 集镇 乡镇 重镇 全镇 小岛 海岛 孤岛 半岛 群岛 岛岛
""".split())
UNIT_SUFFIXES = set("米克里顷升秒钟元镑尺亩吨卡伏赫瓦时安巴寸斤磅码司厘")
NOT_QUANTIFIERS = set("""马里 美方 平儿 马列 天元 系里 圈里 朵儿 会元 立顿 个里 赫里 海米 普米 加米 立克
马元 卡列 平拉 立元 台斤 丛里 平伏 分列 阵列 平列 公元 乇 盎 钧 盾 代 类 级 集 章 天 些 种种 阵阵 句句 朵朵 簇簇
一壸千金 美元 尺幅千里 广袤千里 惮赫千里 毫厘千里 迢迢千里 组里 点秒 分厘卡""".split())


def is_place_name(entry):
    word, _, tag = entry
    if tag != "ns" or len(word) < 3 or not is_cjk(word) or word in NOT_PLACES or word in NOT_PLACE_SUFFIXED:
        return False
    return word[-1] in PLACE_SUFFIXES


def is_quantifier(entry):
    word, freq, tag = entry
    if tag != "q" or not is_cjk(word) or word in NOT_QUANTIFIERS:
        return False
    return len(word) == 1 or word[-1] in UNIT_SUFFIXES


def is_cjk(text):
    return all("\u4e00" <= c <= "\u9fff" or "\u3400" <= c <= "\u4dbf" for c in text)


def read_entries():
    entries = []
    with open(DICT, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) != 3:
                continue
            word, freq, tag = parts
            entries.append((word, int(freq), tag))
    return entries


def top(entries, count, predicate):
    chosen = [e for e in entries if predicate(e)]
    chosen.sort(key=lambda e: (-e[1], e[0]))
    seen, words = set(), []
    for word, _, _ in chosen:
        if word not in seen:
            seen.add(word)
            words.append(word)
        if len(words) >= count:
            break
    return words


JIEBA_SOURCE = "jieba's dict.txt (python3-jieba, MIT/Expat licence, see LICENSE-jieba.txt)"
UNIHAN_SOURCE = "Unihan_OtherMappings.txt (unicode-data, Unicode licence), field kTGH"


def write(name, columns, rows, note, source=JIEBA_SOURCE):
    path = os.path.join(OUT, name + ".tsv")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# " + note + "\n")
        f.write("# Derived by scripts/derive-dictionary.py from " + source + ".\n")
        f.write("\t".join(columns) + "\n")
        for row in rows:
            f.write((row if isinstance(row, str) else "\t".join(row)) + "\n")
    print(f"{name}: {len(rows)} rows")


def merge(extra_path, words):
    """Hand-picked additions kept in data/jieba-additions/<name>.txt (words
    separated by blanks, "#" lines are comments)."""
    path = os.path.join(TOP, "data", "jieba-additions", extra_path)
    if not os.path.exists(path):
        return words
    seen = set(words)
    result = list(words)
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            for word in line.split():
                if word not in seen:
                    seen.add(word)
                    result.append(word)
    return result


def read_black_list():
    """The black list's rows (wrong form, right form), written by hand in
    data/dictionary/黑名单.tsv."""
    path = os.path.join(OUT, "黑名单.tsv")
    if not os.path.exists(path):
        return []
    return [(cells[0], cells[1]) for cells in read_rows(path) if len(cells) == 2]


def contains_any(word, parts):
    """True if one of parts (of two characters or more) occurs in word."""
    return any(word[i:j] in parts for i in range(len(word)) for j in range(i + 2, len(word) + 1))


def main():
    if not os.path.exists(DICT):
        sys.exit(f"{DICT} not found: apt-get install python3-jieba")
    if not os.path.exists(UNIHAN_MAPPINGS):
        sys.exit(f"{UNIHAN_MAPPINGS} not found: apt-get install unicode-data")
    entries = read_entries()

    # jieba keeps some misspellings (at low counts): no wrong form of the
    # black list may pass as a word or an idiom, nor any word containing one.
    black = read_black_list()
    wrong = {w for w, _ in black}
    rights = [r for _, r in black]

    idioms = top(entries, IDIOM_COUNT,
                 lambda e: e[2] == "i" and len(e[0]) == 4 and is_cjk(e[0]) and not contains_any(e[0], wrong))
    write("成语", ["Word"], idioms, "Idioms (four characters), most frequent first.")

    # Words of two characters or more: a white-list check judges single
    # characters by the high-frequency list, so listing them here would pass
    # every character of every unknown word.  The most frequent words, then
    # the rarer two-character words, every idiom and every right form of the
    # black list.
    white = top(entries, WHITE_LIST_SIZE,
                lambda e: is_cjk(e[0]) and len(e[0]) >= 2 and not contains_any(e[0], wrong))
    seen = set(white)
    rarer = top(entries, len(entries),
                lambda e: is_cjk(e[0]) and len(e[0]) == 2 and e[1] >= WHITE_LIST_TWO_CHARACTER_MIN_COUNT
                and e[0] not in seen and e[0] not in wrong)
    for word in rarer + idioms + rights:
        if word not in seen and not contains_any(word, wrong):
            seen.add(word)
            white.append(word)
    # Words newer than jieba's list (data/jieba-additions/白名单.txt). Picked by
    # hand, so they may hold a wrong form's characters (奥密克戎 holds 奥密);
    # none may be a wrong form itself.
    for word in merge("白名单.txt", []):
        if word not in seen and word not in wrong:
            seen.add(word)
            white.append(word)
    write("白名单", ["Word"], white,
          f"Spelling white list: the {WHITE_LIST_SIZE} most frequent Chinese words of two characters or more, "
          f"then the two-character words counted at least {WHITE_LIST_TWO_CHARACTER_MIN_COUNT} times, "
          "the idioms and the right forms of the black list, none holding a black-list wrong form; "
          "then hand-picked words newer than jieba's list.")

    # jieba tags many ordinary words as place names (英雄, 太阳, 美丽, 上市...):
    # keep tagged names with a place suffix, and the hand-picked famous names
    # without one (countries, big cities, provinces).
    places = top(entries, PLACE_COUNT, is_place_name)
    places = merge("地名.txt", places)
    write("地名", ["Word"], places, "Place names: suffixed names by frequency, then hand-picked famous names.")

    numerals = top(entries, 100000,
                   lambda e: e[2] == "m" and all(c in NUMERAL_CHARACTERS for c in e[0])
                   and e[0] not in NOT_NUMERALS)
    numerals = merge("数字.txt", numerals)
    write("数字", ["Word"], numerals, "Numerals: Chinese numeral words, digits and a few numbers.")

    adjectives = top(entries, ADJECTIVE_COUNT,
                     lambda e: e[2] == "a" and is_cjk(e[0]) and e[0] not in NOT_ADJECTIVES)
    adjectives = merge("形容词.txt", adjectives)
    write("形容词", ["Word"], adjectives, "Adjectives, most frequent first.")

    quantifiers = top(entries, 1000, is_quantifier)
    quantifiers = merge("量词.txt", quantifiers)
    write("量词", ["Word"], quantifiers, "Measure words: single characters and units, then hand-picked ones.")

    write("高频字", ["Word"], first_level_characters(),
          f"The {HIGH_FREQUENCY_CHARACTERS} characters of the first level of the 2013 list of standard characters "
          "in common use, in its order (Unihan kTGH 1-3500).", UNIHAN_SOURCE)


if __name__ == "__main__":
    main()
