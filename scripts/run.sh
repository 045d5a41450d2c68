#!/usr/bin/env bash
# Starts the program built in the given build folder.
set -euo pipefail
build=${1:-build}
if [ -x "$build/vokt" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "The VOKT window needs a display (DISPLAY or WAYLAND_DISPLAY); without one, run it as: xvfb-run $build/vokt (Debian package xvfb), or QT_QPA_PLATFORM=offscreen $build/vokt --screenshot vokt.png for a picture."
    exit 0
  fi
  exec "$build/vokt"
fi
echo "The window is not built yet; running the command-line calculator on a small example:"
echo "\$ vokt-cli normal 0,1 probs 1.96"
"$build/vokt-cli" normal 0,1 probs 1.96
echo "\$ vokt-cli normal 0,1 quantile 0.975"
"$build/vokt-cli" normal 0,1 quantile 0.975
