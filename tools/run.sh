#!/usr/bin/env bash
# Builds the suite and starts the archiver on the program folder build/bin; on the first start it
# offers to create the work files there.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build
unset TALVO5_HOME
exec build/bin/talvo5 "$@"
