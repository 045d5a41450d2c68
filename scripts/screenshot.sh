#!/usr/bin/env bash
# Renders the window as it opens into a PNG with Qt's offscreen platform (no
# display needed): scripts/screenshot.sh [build folder] [output file]
set -euo pipefail
build=${1:-build}
out=${2:-docs/vokt-window.png}
if [ ! -x "$build/vokt" ]; then
  echo "Build the window first: cmake --build $build --target vokt" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=offscreen "$build/vokt" --screenshot "$out" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
echo "Wrote $out"
