#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine, builds Tarnquill, then either
# starts it on its shipped data ("run") or runs the whole test suite ("test").
# Safe to run again: installed packages and finished build steps are skipped.
set -euo pipefail

mode="${1:-}"
case "$mode" in
  run|test) ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$top/build"
# TQ_JOBS: how many build steps and tests run at once (all cores by default).
jobs="${TQ_JOBS:-$(nproc)}"
case "$jobs" in
  ''|*[!0-9]*|0) echo "TQ_JOBS must be a whole number of at least 1, not '$jobs'" >&2; exit 2 ;;
esac
export TQ_JOBS="$jobs"

packages=(cmake ninja-build g++ qtbase5-dev libqt5sql5-sqlite libqt5charts5-dev
          qttools5-dev qttranslations5-l10n fonts-wqy-microhei
          zlib1g-dev # the text cipher's bounded decompression
          libxcb1-dev              # start-up connects to the X server before the toolkit does
          python3-jieba            # the word segmentation tool, Utilities/JieBa
          libreoffice-writer-nogui) # Word export converts through LibreOffice
if [ "$mode" = run ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  packages+=(xvfb xauth)
fi
if [ "$mode" = test ]; then
  packages+=(clang libclang-rt-14-dev # the template fuzzer
             poppler-utils unzip)          # reading exported PDF and ODT/DOCX files back
  packages+=(python3)            # the template data test re-runs data/templates/generate.py
  packages+=(unicode-data)       # the word-table check reads the standard character list from Unihan
  packages+=(sqlite3)            # the database-template benchmark's baseline import
  packages+=(xvfb)               # the start-up test on an X display that drops connections
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; run this command as root to install them." >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if [ "$mode" = run ]; then
  # Only what the program runs with: the program, its companion tools, word
  # databases, translations and data (the tests and benchmarks wait for "test").
  cmake --build "$build" --parallel "$jobs" --target Tarnquill
else
  cmake --build "$build" --parallel "$jobs"
fi

if [ "$mode" = test ]; then
  # A minute of fuzzing the template reader and writer and half a minute of the
  # text cipher's decoder, then the test suite.
  TQ_FUZZ_BUILD_DIR="$top/build-fuzz" bash "$top/tests/fuzz/run-fuzz.sh" 60 30
  cd "$build"
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs"
  exit $?
fi

# The program runs from its own folder, build/program, never from build/bin: the
# tests read build/bin as the build made it, and what the user adds to the word
# lists or templates (the program writes into its folder) survives a rebuild.
program="$build/program"
cmake -DFROM="$build/bin" -DTO="$program" -DMANIFEST="$build/program.manifest" \
  -P "$top/cmake/LayOutProgramFolder.cmake"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Tarnquill on a virtual screen (xvfb-run); stop it with Ctrl+C."
  # xvfb-run takes the first free display number; the line printed names it and
  # the authority file, which a screenshot from another terminal needs.
  exec xvfb-run -a -f "$build/xvfb-auth" -s "-screen 0 1280x800x24" \
    sh -c 'echo "Virtual screen: DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY"; exec "$0" "$@"' \
    "$program/Tarnquill" "${@:2}"
fi
exec "$program/Tarnquill" "${@:2}"
