#!/usr/bin/python3
"""Fill the translations of Tarnquill's Qt .ts files.

The source texts in the program are Simplified Chinese, so:

* a Simplified Chinese file (--simplified) gets every translation set to its
  source text and marked finished, every run, so that lrelease writes a real
  entry for each message;
* a Traditional Chinese file (--traditional) gets every empty or unfinished
  translation filled with the source text run through OpenCC (s2twp.json by
  default: Taiwan standard with Taiwanese phrases) and marked finished.
  Finished, non-empty translations are left alone, so wording that someone
  corrected by hand in Qt Linguist survives later runs.

All texts that need converting, from every --traditional file, go through a
single opencc process.  Placeholders (%1, %n), & mnemonics, HTML and line
breaks are plain ASCII to OpenCC and come back unchanged; the script checks
that anyway and refuses to write a translation that lost one.

Files are written back in the layout lupdate and Qt Linguist use, so a run
that changes nothing leaves the files byte for byte the same.

    fill_translations.py --simplified translations/X_zh_CN.ts \\
                         --traditional translations/X_zh_TW.ts
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# Messages lupdate has set aside: not used by the program any more.
SKIPPED_TYPES = {"obsolete", "vanished"}

# Things that must survive the conversion untouched.
TOKEN_RE = re.compile(r"%L?\d+|%n|&(?:&|[0-9A-Za-z])|<[^<>]*>|\n")


# ---------------------------------------------------------------------------
# Reading and writing .ts files
# ---------------------------------------------------------------------------

def protect(text):
    """Escape text the way Qt's .ts writer does."""
    out = []
    for ch in text:
        c = ord(ch)
        if ch == '"':
            out.append("&quot;")
        elif ch == "&":
            out.append("&amp;")
        elif ch == ">":
            out.append("&gt;")
        elif ch == "<":
            out.append("&lt;")
        elif ch == "'":
            out.append("&apos;")
        elif (c < 0x20 or (c > 0x7F and ch.isspace())) and ch not in "\n\t":
            out.append("&#x%x;" % c)
        else:
            out.append(ch)
    return "".join(out)


def write_element(elem, depth, out):
    # <TS> and <context> start at column 0; everything below is indented by
    # four spaces a level, as lupdate does.
    indent = "    " * max(depth - 1, 0)
    attrs = "".join(' %s="%s"' % (k, protect(v)) for k, v in elem.attrib.items())
    children = list(elem)
    text = elem.text or ""
    if not children and not text and elem.tag in ("location", "byte"):
        out.append("%s<%s%s/>\n" % (indent, elem.tag, attrs))
        return
    if not children:
        out.append("%s<%s%s>%s</%s>\n" % (indent, elem.tag, attrs, protect(text), elem.tag))
        return
    if text.strip() or any((c.tail or "").strip() for c in children):
        # Mixed content (an old-style <byte/> inside a text): keep it as is.
        raw = ET.tostring(elem, encoding="unicode").rstrip()
        out.append(indent + raw + "\n")
        return
    out.append("%s<%s%s>\n" % (indent, elem.tag, attrs))
    for child in children:
        write_element(child, depth + 1, out)
    out.append("%s</%s>\n" % (indent, elem.tag))


def write_ts(root, path):
    out = ['<?xml version="1.0" encoding="utf-8"?>\n', "<!DOCTYPE TS>\n"]
    attrs = "".join(' %s="%s"' % (k, protect(v)) for k, v in root.attrib.items())
    out.append("<TS%s>\n" % attrs)
    for child in root:
        write_element(child, 1, out)
    out.append("</TS>\n")
    data = "".join(out)
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == data:
                return False
    except OSError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write(data)
    os.replace(tmp, path)
    return True


def messages(root):
    """Yield (context name, <message>) for every live message."""
    for ctx in root.iter("context"):
        name = ctx.findtext("name") or ""
        for msg in ctx.findall("message"):
            tr = msg.find("translation")
            if tr is not None and tr.get("type") in SKIPPED_TYPES:
                continue
            yield name, msg


def translation_of(msg):
    tr = msg.find("translation")
    if tr is None:
        tr = ET.SubElement(msg, "translation")
    return tr


def numerus_forms(tr):
    """The <numerusform> children of a plural message (at least one: Chinese
    has a single form)."""
    forms = tr.findall("numerusform")
    if not forms:
        tr.text = None
        forms = [ET.SubElement(tr, "numerusform")]
    return forms


def is_numerus(msg):
    return msg.get("numerus") == "yes"


def set_translation(msg, text):
    tr = translation_of(msg)
    if is_numerus(msg):
        for form in numerus_forms(tr):
            form.text = text
    else:
        tr.text = text
    tr.attrib.pop("type", None)


def current_texts(msg):
    tr = translation_of(msg)
    if is_numerus(msg):
        return [f.text or "" for f in tr.findall("numerusform")] or [""]
    return [tr.text or ""]


# ---------------------------------------------------------------------------
# OpenCC
# ---------------------------------------------------------------------------

def opencc_convert(texts, config, opencc):
    """Convert many texts with one opencc run; returns them in order."""
    if not texts:
        return []
    sep = "@@TARNQUILL-SEPARATOR-0@@"
    n = 0
    while any(sep in t for t in texts):
        n += 1
        sep = "@@TARNQUILL-SEPARATOR-%d@@" % n
    payload = "".join(t + "\n" + sep + "\n" for t in texts)
    with tempfile.TemporaryDirectory() as d:
        src = os.path.join(d, "in.txt")
        dst = os.path.join(d, "out.txt")
        with open(src, "w", encoding="utf-8", newline="\n") as f:
            f.write(payload)
        subprocess.run([opencc, "-c", config, "-i", src, "-o", dst], check=True)
        with open(dst, encoding="utf-8", newline="") as f:
            result = f.read()
    if not result.endswith("\n"):
        result += "\n"
    parts = result.split("\n" + sep + "\n")
    if len(parts) != len(texts) + 1 or parts[-1] != "":
        sys.exit("fill_translations: opencc returned %d texts for %d" % (len(parts) - 1, len(texts)))
    return parts[:-1]


def tokens(text):
    # Non-ASCII letters inside a tag (a title="..." in Chinese) may be
    # converted; only the ASCII skeleton has to stay the same.
    return [re.sub(r"[^\x00-\x7f]", "", t) for t in TOKEN_RE.findall(text)]


# ---------------------------------------------------------------------------

def fill_simplified(root):
    changed = 0
    for _ctx, msg in messages(root):
        source = msg.findtext("source")
        if source is None:
            continue
        tr = translation_of(msg)
        before = (current_texts(msg), tr.get("type"))
        set_translation(msg, source)
        if (current_texts(msg), tr.get("type")) != before:
            changed += 1
    return changed


def needs_filling(msg):
    tr = translation_of(msg)
    if tr.get("type") == "unfinished":
        return True
    return any(not t for t in current_texts(msg))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--simplified", action="append", default=[], metavar="TS",
                    help="file whose translations are the source texts (zh_CN)")
    ap.add_argument("--traditional", action="append", default=[], metavar="TS",
                    help="file to fill with OpenCC's Traditional Chinese (zh_TW)")
    ap.add_argument("--opencc-config", default="s2twp.json")
    ap.add_argument("--opencc", default=shutil.which("opencc") or "opencc")
    args = ap.parse_args()
    if not args.simplified and not args.traditional:
        ap.error("name at least one .ts file")

    empty = []
    for path in args.simplified:
        root = ET.parse(path).getroot()
        n = fill_simplified(root)
        count = sum(1 for _ in messages(root))
        write_ts(root, path)
        print("%s: %d messages, %d updated" % (path, count, n))
        if count == 0:
            empty.append(path)

    trees = [(p, ET.parse(p).getroot()) for p in args.traditional]
    todo = []   # (path, context, message)
    for path, root in trees:
        for ctx, msg in messages(root):
            if msg.findtext("source") is not None and needs_filling(msg):
                todo.append((path, ctx, msg))
    converted = opencc_convert([m.findtext("source") for _, _, m in todo],
                               args.opencc_config, args.opencc)
    bad = 0
    filled = {}
    for (path, ctx, msg), text in zip(todo, converted):
        source = msg.findtext("source")
        if tokens(source) != tokens(text):
            print("%s: [%s] %r: conversion changed placeholders/markup (%r); left unfinished"
                  % (path, ctx, source, text), file=sys.stderr)
            bad += 1
            continue
        set_translation(msg, text)
        filled[path] = filled.get(path, 0) + 1
    for path, root in trees:
        count = sum(1 for _ in messages(root))
        write_ts(root, path)
        print("%s: %d messages, %d filled from OpenCC" % (path, count, filled.get(path, 0)))
        if count == 0:
            empty.append(path)

    for path in empty:
        print("fill_translations: %s has no messages; lrelease would write an unusable .qm"
              % path, file=sys.stderr)
    return 1 if (bad or empty) else 0


if __name__ == "__main__":
    sys.exit(main())
