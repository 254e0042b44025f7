"""The first level of the 2013 list of standard Chinese characters in common
use, read from the Unihan database that Debian's unicode-data package ships
(Unihan_OtherMappings.txt.bz2, Unicode licence): the field kTGH gives a
character's number in that list as "2013:<number>", and numbers 1 to 3500 are
the first level. Shared by the scripts beside it."""

import bz2
import re
import sys

UNIHAN_MAPPINGS = "/usr/share/unicode/Unihan_OtherMappings.txt.bz2"
FIRST_LEVEL = 3500


def first_level_characters():
    """The first-level characters, in the list's own order."""
    numbered = {}
    pattern = re.compile(r"^U\+([0-9A-F]{4,6})\tkTGH\t(.*)$")
    with bz2.open(UNIHAN_MAPPINGS, "rt", encoding="utf-8") as f:
        for line in f:
            match = pattern.match(line.rstrip("\n"))
            if not match:
                continue
            for value in match.group(2).split():
                year, _, number = value.partition(":")
                if year == "2013" and number.isdigit() and 1 <= int(number) <= FIRST_LEVEL:
                    numbered[int(number)] = chr(int(match.group(1), 16))
    if sorted(numbered) != list(range(1, FIRST_LEVEL + 1)):
        sys.exit("%s: the first level is incomplete (%d of %d numbers)"
                 % (UNIHAN_MAPPINGS, len(numbered), FIRST_LEVEL))
    return [numbered[n] for n in sorted(numbered)]
