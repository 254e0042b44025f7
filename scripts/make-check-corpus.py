#!/usr/bin/python3
"""Writes a corpus of correct Chinese text for measuring the spelling checks,
from what Debian installs (nothing of it is shipped or committed):

  translations.txt  every Simplified Chinese message of the installed programs
                    (/usr/share/locale/zh_CN/LC_MESSAGES/*.mo), one line each
  manpages.txt      the Chinese man pages (/usr/share/man/zh_CN, formatting
                    requests left out)
  vimtutor.txt      the vim tutor in Simplified Chinese (vim-runtime)
  web.txt           the three above as a web page's copy would be: words
                    separated by no-break spaces, paragraphs indented with "　　"

Then measure, e.g.:
  build/bench/bench_spellingcatch --text OUT/translations.txt --text OUT/manpages.txt ...

    make-check-corpus.py OUTPUT_FOLDER
"""

import glob
import gettext
import gzip
import os
import re
import sys

LOCALE = "/usr/share/locale/zh_CN/LC_MESSAGES"
MANUALS = "/usr/share/man/zh_CN"
TUTORS = "/usr/share/vim/vim*/tutor/tutor.zh_cn.utf-8"

_HAN = re.compile(r"[\u3400-\u4dbf\u4e00-\u9fff]")
# roff escapes: fonts (\fB), sizes (\s-1), named characters (\(em, \[..]), and
# the rest of a two-character escape.
_ROFF_ESCAPE = re.compile(r"\\(f[BIRP1-4]|f\(..|f\[[^]]*\]|s[-+]?\d|\(..|\[[^]]*\]|\*\(..|\*.|.)")


def han_count(text):
    return len(_HAN.findall(text))


def translations():
    lines = []
    for path in sorted(glob.glob(os.path.join(LOCALE, "*.mo"))):
        with open(path, "rb") as f:
            try:
                catalog = gettext.GNUTranslations(f)._catalog
            except (OSError, UnicodeDecodeError):
                continue
        for key, message in sorted(catalog.items(), key=lambda item: str(item[0])):
            if not key or not han_count(message):
                continue
            lines += [line.strip() for line in message.splitlines() if han_count(line)]
    return lines


def manual_lines(text):
    lines = []
    for line in text.splitlines():
        if line.startswith(("'", '.\\"', ".\\\"")):
            continue
        if line.startswith("."):
            # A macro with text after it (.SH 名称, .B word): keep the text.
            words = line.split(None, 1)
            line = words[1] if len(words) > 1 else ""
        line = _ROFF_ESCAPE.sub("", line).replace('"', "").strip()
        if han_count(line):
            lines.append(line)
    return lines


def manuals():
    lines = []
    for path in sorted(glob.glob(os.path.join(MANUALS, "man*", "*"))):
        opener = gzip.open if path.endswith(".gz") else open
        try:
            with opener(path, "rt", encoding="utf-8") as f:
                lines += manual_lines(f.read())
        except (OSError, UnicodeDecodeError):
            continue
    return lines


def tutor():
    for path in sorted(glob.glob(TUTORS)):
        with open(path, encoding="utf-8") as f:
            return [line.rstrip() for line in f if han_count(line)]
    return []


def web_copy(lines):
    """Blanks become no-break spaces, and every line an indented paragraph."""
    return ["\u3000\u3000" + line.replace(" ", "\u00a0") for line in lines]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-check-corpus.py OUTPUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    parts = {"translations.txt": translations(), "manpages.txt": manuals(), "vimtutor.txt": tutor()}
    parts["web.txt"] = web_copy(parts["translations.txt"] + parts["manpages.txt"] + parts["vimtutor.txt"])
    for name, lines in parts.items():
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(lines) + "\n")
        print("%s: %d lines, %d Chinese characters" % (name, len(lines), sum(han_count(l) for l in lines)))


if __name__ == "__main__":
    main()
