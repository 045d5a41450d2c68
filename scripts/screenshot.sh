#!/usr/bin/env bash
# Renders the window as it opens into a PNG with Qt's offscreen platform (no
# display needed), with the hint of the variance row showing:
#   scripts/screenshot.sh [build folder] [output file] [--page 1|2]
set -euo pipefail
build=${1:-build}
out=${2:-docs/vokt-window.png}
if [ ! -x "$build/vokt" ]; then
  echo "Build the window first: cmake --build $build --target vokt" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=offscreen "$build/vokt" --screenshot "$out" --hint 1 "${@:3}" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
echo "Wrote $out"
