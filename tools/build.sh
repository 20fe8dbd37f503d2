#!/usr/bin/env bash
# Configures and builds into build/ (or $1); the programs and shipped files land in <dir>/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
