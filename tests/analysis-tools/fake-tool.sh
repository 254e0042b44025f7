#!/bin/sh
# Stands in for a companion analysis tool in the tests: records its arguments
# (one per line) and its input file, leaves a picture where the word-cloud
# tool would, prints a canned output and then ends or keeps running.
#   FAKE_TOOL_RECORD   folder for "arguments" and "input" (required)
#   FAKE_TOOL_OUTPUT   file whose bytes are printed
#   FAKE_TOOL_ERRORS   text printed on standard error first
#   FAKE_TOOL_PICTURE  picture copied to $TMPDIR/WordCloud.png
#   FAKE_TOOL_SLEEP    seconds to keep running after printing (its pid goes to "pid")
#   FAKE_TOOL_EXIT     exit code (0)
record="${FAKE_TOOL_RECORD:?}"
: > "$record/arguments"
for argument in "$@"; do
    printf '%s\n' "$argument" >> "$record/arguments"
    last="$argument"
done
if [ -n "$last" ] && [ -f "$last" ]; then
    cp "$last" "$record/input"
fi
if [ -n "$FAKE_TOOL_PICTURE" ]; then
    cp "$FAKE_TOOL_PICTURE" "${TMPDIR:-/tmp}/WordCloud.png"
fi
if [ -n "$FAKE_TOOL_ERRORS" ]; then
    printf '%s\n' "$FAKE_TOOL_ERRORS" >&2
fi
if [ -n "$FAKE_TOOL_OUTPUT" ]; then
    cat "$FAKE_TOOL_OUTPUT"
fi
if [ -n "$FAKE_TOOL_SLEEP" ]; then
    echo $$ > "$record/pid"
    exec sleep "$FAKE_TOOL_SLEEP"
fi
exit "${FAKE_TOOL_EXIT:-0}"
