#!/usr/bin/python3
"""Writes every template file under Templates/ from the source tables beside it.

    generate.py           write Templates/ (and remove .tqw files no table names)
    generate.py --check   write nothing; exit 1 when Templates/ differs from the tables

Source tables (*.txt here, UTF-8), one line each:
    ;; ...                     comment
    == path | title            a new template file Templates/<path>.tqw (title optional)
    * title                    a top-level entry; "** title" nests one level deeper
    - text                     a content of the entry above
Empty lines are ignored. Templates/Atom/原子模板库.tqw is not written by hand: it
lists every atom template of the tables.

The tables are checked before anything is written: atom markers must name an
atom of the tables, atoms must not lead back to themselves, contents hold no
bare "<" or "&", placeholders belong to the input dialog of their template, and
every command template, poem and name template is there in its exact form.
"""

import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
TEMPLATES = os.path.join(ROOT, "Templates")
INDEX = "Atom/原子模板库"
UTILITIES = "Atom/常用工具"

MARKER = re.compile(r"\[([A-Za-z0-9|\u4e00-\u9fa5]+)\]")
PLACEHOLDER = re.compile(r"__[A-Z0-9_]+?__")

# ---- What the generation commands need ------------------------------------------

GENRES = ("标题 美女 帅哥 职业 装束 爱好 特长 道具 兵器 宠物 经历 秘密 个性 恋人 伤病 思想 愿望 误会 "
          "对手 配角 习惯 死亡 语言 恋爱 关系 景观 自建语段 打斗 场景 台词 巧合 情绪 都市言情 武侠 冒险 "
          "复仇 爱情 励志 商战 职场 人物设计 故事设计 悬疑 校园爱情 科幻 宫斗 童话").split()
STORY_SLOTS = "梗概 开头 搭讪 对话 相爱 人物 故事 战争 情书".split()
ADVERTISEMENTS = "广告 服装 保健 美容 旅游 餐饮 食品".split()
ADVERTORIAL = "软文"
NEWS = ["新闻"] + ["新闻/" + n for n in "国际新闻 国内新闻 文化新闻 娱乐新闻 体育新闻 科技新闻 房产新闻 汽车新闻".split()]
DOCUMENTS = "政治 党务 外交 工业 经济 农业 文化 教育 公益 民族 宗教 防灾 环保 日记 散文 书信".split()
RHYMES = ("a=a-ia-ua ai=ai-uai an=an-ian-uan ang=ang-iang-uang ao=ao-iao e=e-ie-ue ei=ei-ui en=en "
          "eng=eng er=er i=i in=in ing=ing o=o-uo ong=ong-iong ou=ou-iu u=u-v un=un").split()
POEMS = ["诗歌/诗歌" + r.upper() for r in RHYMES]
# Name templates and the number of name parts (entries) of each.
NAMES = {"男名": 3, "女名": 3, "称谓": 2, "地名": 2, "机构": 3, "媒体名称": 3, "外星": 5}
# Generation starts at once for these: no dialog is shown, so nothing may rely on one.
STARTS_AT_ONCE = set(NEWS + DOCUMENTS)
PRELOAD_PATTERNS = ("形容", "描写", "指代")

_PERSON = ["__%s_NAME__" % p for p in ("MAN1", "WOMAN1", "OPPONENT1", "OPPONENT2", "OPPONENT3")]
STORY_PLACEHOLDERS = set(_PERSON)
for _p in ("MAN1", "WOMAN1", "OPPONENT1", "OPPONENT2", "OPPONENT3"):
    for _a in ("OCCUPATION", "CHARACTER", "DEFECT", "HABIT", "BEHAVIOR", "PROPS", "WEAPON"):
        STORY_PLACEHOLDERS.add("__%s_%s1_NAME__" % (_p, _a))
for _n in range(1, 5):
    for _g in ("MALE_SUPPORT_ROLE", "FEMALE_SUPPORT_ROLE", "REGION", "SCENE", "INDUSTRY", "ANIMAL", "VEHICLE"):
        STORY_PLACEHOLDERS.add("__%s%d_NAME__" % (_g, _n))
    STORY_PLACEHOLDERS.add("__COMMUNICATION%d_TOOL_NAME__" % _n)
ADVERTISEMENT_PLACEHOLDERS = {"__%s__" % n for n in (
    "ADVERTISEMENT_URL PRODUCT_NAME BRAND_NAME MANUFACTURE_NAME DISTRIBUTOR_NAME PRICE_VALUE MEDIA_NAME "
    "ADMINISTRATOR_NAME EXPERT_NAME PRIZE_NAME ADAPT_NAME ADAPT_PEOPLE_NAME TIME_VALUE SALE_PLACE_NAME "
    "MADE_PLACE_NAME MERIT_NAME PROPERTY_NAME THEORY_NAME MATERIAL_NAME PROCESS_NAME KEYWORD1_NAME "
    "KEYWORD2_NAME KEYWORD3_NAME KEYWORD4_NAME CUSTOMER1_NAME CUSTOMER2_NAME CUSTOMER3_NAME").split()}
ADVERTORIAL_PLACEHOLDERS = ADVERTISEMENT_PLACEHOLDERS | {"__%s__" % n for n in (
    "MAN1_NAME MAN1_OCCUPATION MAN1_AGE WOMAN1_NAME WOMAN1_OCCUPATION WOMAN1_AGE SCENE1_NAME SCENE2_NAME").split()}
assert len(STORY_PLACEHOLDERS) == 72 and len(ADVERTISEMENT_PLACEHOLDERS) == 27 and len(ADVERTORIAL_PLACEHOLDERS) == 35


class Template:
    def __init__(self, path, title, where):
        self.path, self.title, self.where = path, title, where
        self.root = []          # list of entries: (title, children); children are str or entry tuples

    @staticmethod
    def walk(children):
        for child in children:
            if isinstance(child, str):
                yield child
            else:
                yield from Template.walk(child[1])

    def contents(self):
        for entry in self.root:
            yield from Template.walk(entry[1])


def fail(errors, where, text):
    errors.append("%s: %s" % (where, text))


def read_tables(errors):
    templates = {}
    for name in sorted(os.listdir(HERE)):
        if not name.endswith(".txt"):
            continue
        current, stack = None, []
        with open(os.path.join(HERE, name), encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                line = line.rstrip("\n").rstrip()
                where = "%s:%d" % (name, number)
                if not line or line.startswith(";;"):
                    continue
                if line.startswith("== "):
                    path, _, title = line[3:].partition(" | ")
                    path = path.strip()
                    current = Template(path, title.strip() or os.path.basename(path), where)
                    if path in templates:
                        fail(errors, where, "template %s written twice" % path)
                    templates[path] = current
                    stack = []
                elif current is None:
                    fail(errors, where, "text before the first template")
                elif line.startswith("*"):
                    depth = len(line) - len(line.lstrip("*"))
                    if depth > len(stack) + 1:
                        fail(errors, where, "entry nested too deep")
                        continue
                    entry = (line[depth:].strip(), [])
                    del stack[depth - 1:]
                    (stack[-1][1] if stack else current.root).append(entry)
                    stack.append(entry)
                elif line.startswith("- "):
                    if not stack:
                        fail(errors, where, "content outside an entry")
                        continue
                    stack[-1][1].append(line[2:].strip())
                else:
                    fail(errors, where, "cannot read this line")
    return templates


def check(templates, errors):
    atoms = {p[len("Atom/"):] for p in templates if p.startswith("Atom/") and p != UTILITIES}
    edges = {}
    for path, t in sorted(templates.items()):
        if not t.root:
            fail(errors, t.where, "no entry")

        def check_entries(children, top):
            for child in children:
                if isinstance(child, str):
                    continue
                title, inner = child
                if not inner:
                    fail(errors, t.where, "entry %s is empty" % title)
                check_entries(inner, False)
        check_entries(t.root, True)
        if path in ADVERTISEMENTS:
            allowed = ADVERTISEMENT_PLACEHOLDERS
        elif path == ADVERTORIAL:
            allowed = ADVERTORIAL_PLACEHOLDERS
        elif path in STARTS_AT_ONCE or path.startswith("Atom/") or path in POEMS or path in NAMES:
            allowed = set()
        else:
            allowed = STORY_PLACEHOLDERS
        for text in t.contents():
            if "<" in text or "&" in text or ">" in text:
                fail(errors, t.where, "markup character in %s" % text)
            for p in PLACEHOLDER.findall(text):
                if p not in allowed:
                    fail(errors, t.where, "placeholder %s does not belong here" % p)
            if "[" in MARKER.sub("", text) or "]" in MARKER.sub("", text):
                fail(errors, t.where, "bracket that is no atom marker in %s" % text)
            for name in MARKER.findall(text):
                if name not in atoms:
                    fail(errors, t.where, "atom %s is not written" % name)
                if path.startswith("Atom/"):
                    edges.setdefault(path[len("Atom/"):], set()).add(name)

    def cycle(name, seen):
        if name in seen:
            return True
        return any(cycle(n, seen | {name}) for n in sorted(edges.get(name, ())))
    for name in sorted(atoms):
        if cycle(name, frozenset()):
            fail(errors, "Atom/" + name, "leads back to itself")

    for path in GENRES + STORY_SLOTS + ADVERTISEMENTS + [ADVERTORIAL] + NEWS + DOCUMENTS + POEMS + list(NAMES):
        if path not in templates:
            fail(errors, "tables", "%s.tqw is missing" % path)
    for path in POEMS:
        if path in templates:
            check_poem(templates[path], errors)
    for path, parts in NAMES.items():
        if path in templates and len(templates[path].root) != parts:
            fail(errors, path, "needs %d entries, one per part of a name" % parts)
    for path in ("男名", "女名"):
        if path in templates:
            lengths = {len(s) for s in templates[path].root[0][1]}
            if not {1, 2} <= lengths:
                fail(errors, path, "surnames of one and of two characters are both needed")
    # Two-character surnames are rare in life: in the names they come up for at
    # most one candidate in 40 (a marker draws from its atom, whose surnames are single).
    for path in ("男名", "女名", "称谓"):
        if path in templates:
            surnames = [c for c in templates[path].root[0][1] if isinstance(c, str)]
            double = sum(1 for c in surnames if not MARKER.search(c) and len(c) == 2)
            if double * SURNAME_DOUBLE_SHARE > len(surnames):
                fail(errors, path, "%d of %d surnames have two characters, more than one in %d"
                     % (double, len(surnames), SURNAME_DOUBLE_SHARE))
    check_counts(templates, errors)
    check_list_sizes(errors)
    for prefix in PRELOAD_PATTERNS:
        if not any(a.startswith(prefix) for a in atoms):
            fail(errors, "tables", "no atom starts with " + prefix)
    if not any(a.endswith("语境") for a in atoms):
        fail(errors, "tables", "no atom ends with 语境")
    return atoms


# Enough material that generation does not repeat itself: a command template
# draws one content per entry, so 4 entries of 8 contents give 4,096 texts.
COMMAND_MIN_ENTRIES = 4
COMMAND_MIN_CONTENTS = 8
TITLE = "标题"
TITLE_MIN_PATTERNS = 12
ATOM_MIN_VARIANTS = 12
POEM_MIN_LINES = 24
POEM_MIN_THEMES = 4
POEM_MIN_THEME_LINES = 10
NAME_MIN_CANDIDATES = 200
SURNAME_DOUBLE_SHARE = 40


LIST_MIN_ITEMS = 40


def check_list_sizes(errors):
    """The word lists of the generation dialogs (List/, written by List/make-lists.py)."""
    folder = os.path.join(ROOT, "List")
    for dirpath, _, names in os.walk(folder):
        for name in sorted(names):
            if not name.endswith(".txt"):
                continue
            path = os.path.join(dirpath, name)
            with open(path, encoding="utf-8") as f:
                items = [line for line in f if line.strip()]
            if len(items) < LIST_MIN_ITEMS:
                fail(errors, os.path.relpath(path, ROOT), "needs at least %d items, has %d" % (LIST_MIN_ITEMS, len(items)))


def check_poem(t, errors):
    """A poem's first entry holds its themes, each enough for an eight-line poem
    on its own; a poem never repeats a line, so no line stands twice in a group."""
    first = t.root[0][1]
    themes = [child for child in first if not isinstance(child, str)]
    if any(isinstance(child, str) for child in first) or len(themes) < POEM_MIN_THEMES:
        fail(errors, t.where, "the first entry holds at least %d themes and nothing else" % POEM_MIN_THEMES)
    for title, lines in themes:
        if len(lines) < POEM_MIN_THEME_LINES or not all(isinstance(line, str) for line in lines):
            fail(errors, t.where, "theme %s needs at least %d lines and no entry" % (title, POEM_MIN_THEME_LINES))
    seen = set()
    for line in Template.walk(first):
        if line in seen:
            fail(errors, t.where, "the line %s stands twice" % line)
        seen.add(line)


def variety(templates, text):
    """How many different texts one content gives, its atom markers counted."""
    count = 1
    for name in MARKER.findall(text):
        atom = templates.get("Atom/" + name)
        count *= sum(variety(templates, c) for c in atom.contents()) if atom else 1
    return count


def check_titles(templates, errors):
    """The title template is one entry of title patterns built from word atoms:
    a title is one pattern, so there are as many shapes as patterns."""
    t = templates.get(TITLE)
    if t is None:
        return
    patterns = [c for c in t.root[0][1] if isinstance(c, str)] if len(t.root) == 1 else []
    if len(patterns) < TITLE_MIN_PATTERNS:
        fail(errors, t.where, "needs one entry of at least %d title patterns" % TITLE_MIN_PATTERNS)
    total = sum(variety(templates, p) for p in patterns)
    if total < COMMAND_MIN_CONTENTS ** COMMAND_MIN_ENTRIES:
        fail(errors, t.where, "its patterns give %d titles, fewer than %d" % (total, COMMAND_MIN_CONTENTS ** COMMAND_MIN_ENTRIES))


def check_counts(templates, errors):
    commands = GENRES + STORY_SLOTS + ADVERTISEMENTS + [ADVERTORIAL] + NEWS + DOCUMENTS
    check_titles(templates, errors)
    for path in commands:
        t = templates.get(path)
        if t is None or path == TITLE:
            continue
        if len(t.root) < COMMAND_MIN_ENTRIES:
            fail(errors, t.where, "needs at least %d entries, has %d" % (COMMAND_MIN_ENTRIES, len(t.root)))
        for title, children in t.root:
            n = len([c for c in children if isinstance(c, str)])
            if n < COMMAND_MIN_CONTENTS:
                fail(errors, t.where, "entry %s needs at least %d contents, has %d"
                     % (title, COMMAND_MIN_CONTENTS, n))
    for path, t in sorted(templates.items()):
        if path.startswith("Atom/") and path != UTILITIES:
            n = len(list(t.contents()))
            if n < ATOM_MIN_VARIANTS:
                fail(errors, t.where, "atom needs at least %d variants, has %d" % (ATOM_MIN_VARIANTS, n))
    for path in POEMS:
        t = templates.get(path)
        if t is not None and t.root:
            n = len(list(Template.walk(t.root[0][1])))
            if n < POEM_MIN_LINES:
                fail(errors, t.where, "a poem needs at least %d lines, has %d" % (POEM_MIN_LINES, n))
    for path in NAMES:
        t = templates.get(path)
        if t is None:
            continue
        n = len(list(t.contents()))
        if n < NAME_MIN_CANDIDATES:
            fail(errors, t.where, "needs at least %d candidates, has %d" % (NAME_MIN_CANDIDATES, n))
        for title, children in t.root:
            if len(children) < COMMAND_MIN_CONTENTS:
                fail(errors, t.where, "name part %s needs at least %d candidates" % (title, COMMAND_MIN_CONTENTS))


def index_template(templates, atoms):
    # One entry, as the atom library appends new atoms to the first entry of the
    # index: the plain words first, then the atoms that expansion marking looks for.
    index = Template(INDEX, "原子模板库", "generated")
    ordered = [p[len("Atom/"):] for p in templates if p.startswith("Atom/") and p[len("Atom/"):] in atoms]
    kinds = [lambda a: not a.startswith(PRELOAD_PATTERNS) and not a.endswith("语境")]
    kinds += [lambda a, p=p: a.startswith(p) for p in PRELOAD_PATTERNS] + [lambda a: a.endswith("语境")]
    names = [a for kind in kinds for a in ordered if kind(a)]
    index.root = [("原子模板", ["[%s]" % a for a in names])]
    return index


def escape(text, attribute=False):
    text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    return text.replace('"', "&quot;") if attribute else text


def render(t):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<template title="%s">' % escape(t.title, True)]

    def write(children, depth):
        pad = "    " * depth
        for child in children:
            if isinstance(child, str):
                lines.append("%s<content>%s</content>" % (pad, escape(child)))
            else:
                lines.append('%s<entry title="%s">' % (pad, escape(child[0], True)))
                write(child[1], depth + 1)
                lines.append("%s</entry>" % pad)
    write(t.root, 1)
    lines.append("</template>")
    return ("\n".join(lines) + "\n").encode("utf-8")


def main():
    checking = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not checking:
        sys.exit(__doc__)
    errors = []
    templates = read_tables(errors)
    atoms = check(templates, errors)
    if errors:
        sys.exit("\n".join(errors))
    templates[INDEX] = index_template(templates, atoms)
    wanted = {os.path.join(TEMPLATES, p + ".tqw"): render(t) for p, t in templates.items()}
    present = set()
    for folder, _, files in os.walk(TEMPLATES):
        present.update(os.path.join(folder, f) for f in files if f.endswith(".tqw"))
    differences = []
    for path in sorted(set(wanted) | present):
        rel = os.path.relpath(path, ROOT)
        if path not in wanted:
            differences.append("not in the tables: " + rel)
            if not checking:
                os.remove(path)
            continue
        old = None
        if path in present:
            with open(path, "rb") as f:
                old = f.read()
        if old != wanted[path]:
            differences.append(("differs: " if old is not None else "missing: ") + rel)
            if not checking:
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(wanted[path])
    if checking:
        if differences:
            sys.exit("Templates/ does not match data/templates (run data/templates/generate.py):\n"
                     + "\n".join(differences))
        print("%d template files match their tables." % len(wanted))
    else:
        print("%d template files, %d written or removed." % (len(wanted), len(differences)))


if __name__ == "__main__":
    main()
