#!/usr/bin/env bash
# Builds the suite and works on the catalogue of the output folder build/bin, creating it on
# first use. Arguments are handed to talvo5-cli (default: a search of the example records).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build
unset TALVO5_HOME
cli=build/bin/talvo5-cli
if [ ! -e build/bin/A.MFI ]; then
  "$cli" init
fi
if [ $# -eq 0 ]; then
  "$cli" --help
  echo
  echo "\$ $cli search EXEMPLE"
  exec "$cli" search EXEMPLE
fi
exec "$cli" "$@"
