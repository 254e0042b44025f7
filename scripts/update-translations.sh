#!/usr/bin/env bash
# Refreshes Tarnquill's translation files in translations/.
#
#   scripts/update-translations.sh              # lupdate + fill + check
#   scripts/update-translations.sh --no-lupdate # only fill + check
#
# 1. lupdate scans Sources/ and Forms/ for tr() texts (Simplified Chinese,
#    UTF-8) and merges them into both .ts files; messages that vanished from
#    the code are dropped (-no-obsolete), no file/line references are kept.
# 2. scripts/fill_translations.py sets every zh_CN translation to its source
#    text, and fills every empty or unfinished zh_TW translation with the
#    Traditional Chinese from `opencc -c s2twp.json`.  Finished zh_TW
#    translations are kept, so corrections made in Qt Linguist stay.
# 3. lrelease compiles both files into a scratch folder to make sure each
#    gives a non-empty .qm.  (The build makes the real .qm files.)
#
# Needs: qttools5-dev-tools (lupdate, lrelease), opencc, /usr/bin/python3.
# Works from any directory.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
cd "$root"

run_lupdate=1
for arg in "$@"; do
    case $arg in
        --no-lupdate) run_lupdate=0 ;;
        -h|--help) sed -n '2,18p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "update-translations: unknown option $arg" >&2; exit 2 ;;
    esac
done

qt_tool() {   # the Qt 5 tool itself rather than the qtchooser wrapper, if present
    if [[ -x /usr/lib/qt5/bin/$1 ]]; then
        echo "/usr/lib/qt5/bin/$1"
    elif command -v "$1" >/dev/null; then
        command -v "$1"
    else
        echo "update-translations: $1 not found (apt-get install qttools5-dev-tools)" >&2
        exit 1
    fi
}
lupdate="${LUPDATE:-$(qt_tool lupdate)}"
lrelease="${LRELEASE:-$(qt_tool lrelease)}"
python=/usr/bin/python3
[[ -x $python ]] || python=python3

base=translations/Tarnquill_Veldmark
ts_cn="$base"_zh_CN.ts
ts_tw="$base"_zh_TW.ts

if (( run_lupdate )); then
    inputs=()
    for d in Sources Forms; do
        [[ -d $d ]] && inputs+=("$d")
    done
    (( ${#inputs[@]} )) || { echo "update-translations: neither Sources/ nor Forms/ exists" >&2; exit 1; }
    for lang in zh_CN zh_TW; do
        "$lupdate" -silent -no-obsolete -locations none \
            -source-language zh_CN -target-language "$lang" \
            "${inputs[@]}" -ts "$base"_"$lang".ts
    done
fi

"$python" "$here/fill_translations.py" --simplified "$ts_cn" --traditional "$ts_tw"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
# A .qm from a file without finished messages has no message table:
# QTranslator loads it but it translates nothing.  Refuse that.
qm_messages_bytes() {
    "$python" - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
pos, size = 16, 0            # after the 16-byte magic: (tag, length, data)*
while pos + 5 <= len(data):
    tag, length = data[pos], struct.unpack(">I", data[pos + 1:pos + 5])[0]
    if tag == 0x69:          # the message table
        size = length
    pos += 5 + length
print(size)
PY
}
for ts in "$ts_cn" "$ts_tw"; do
    qm="$scratch/$(basename "${ts%.ts}").qm"
    "$lrelease" -silent "$ts" -qm "$qm"
    size=$(qm_messages_bytes "$qm")
    if (( size == 0 )); then
        echo "update-translations: lrelease gave a .qm without messages for $ts" >&2
        exit 1
    fi
    echo "$ts: compiles to a $(stat -c %s "$qm")-byte .qm"
done
