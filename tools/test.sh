#!/usr/bin/env bash
# Builds and runs every test: the suite, the suite again under AddressSanitizer and UBSan, and a
# short bounded run of the fuzzers over their committed seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs=$(nproc)

tools/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

tools/build.sh build-sanitize -DTALVO_SANITIZE=ON -DTALVO_BENCH=OFF
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

if [ -x tools/fuzz.sh ]; then
  tools/fuzz.sh "${TALVO_FUZZ_SECONDS:-15}"
fi
