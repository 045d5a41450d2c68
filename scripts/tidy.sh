#!/bin/sh
# Runs clang-tidy with the checks of .clang-tidy over the sources (not the
# tests), from the compile commands of a build folder (default: build).
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
exec run-clang-tidy -p "$build" -quiet "$(pwd)/(numeric|distrib|plot|resources|formula|cli|ui|app)/.*\.cpp"
