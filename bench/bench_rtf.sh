#!/usr/bin/env bash
# The RTF library on a document of MB megabytes, against outside tools on the same file in the
# same run:
#
#   bench/bench_rtf.sh
#
# (a) bench_rtf read FILE, whole process (the document built and its plain text taken), against
#     unrtf --text FILE > /dev/null; the target is (a) < 1.0.
# (b) the document written as RTF and saved atomically, timed inside bench_rtf save (the reading
#     before it is not counted), against cp FILE OUT && sync -d OUT. The writing alone is shown
#     against the same copy.
# Best of RUNS of each. Settings from the environment:
#   MB=5  RUNS=5  BUILD_DIR=build-bench  SKIP_BUILD=1 (use the build as it is)  UNRTF=unrtf
# Needs unrtf (tools/setup.sh --bench installs it): without it the benchmark is skipped.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
MB=${MB:-5}
RUNS=${RUNS:-5}
BUILD_DIR=${BUILD_DIR:-build-bench}
UNRTF=${UNRTF:-unrtf}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac

if ! command -v "$UNRTF" >/dev/null 2>&1; then
    echo "bench_rtf: skipped: unrtf is missing (Debian package 'unrtf')"
    exit 0
fi
[[ -n "${EPOCHREALTIME:-}" ]] || { echo "bench_rtf: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 1; }

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    echo "== building bench_rtf (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build" --target bench_rtf
fi
prog="$build/bench/bench_rtf"
[[ -x "$prog" ]] || { echo "bench_rtf: $prog is missing: the build did not produce it" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-rtf.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

file="$work/document.rtf"
echo "== generating about $MB MB of RTF"
"$prog" make "$file" "$MB"

source "$here/timing.sh"

echo "== timing, best of $RUNS"
best read "$prog" read "$file"
best unrtf sh -c '"$1" --text "$2" >/dev/null' sh "$UNRTF" "$file"
best copy sh -c 'cp "$1" "$2" && sync -d "$2"' sh "$file" "$work/copy.rtf"
chars=$(cat "$work/read.out")
[[ $chars -gt 0 ]] || { echo "bench_rtf: the document read has no text" >&2; exit 1; }

# The writing and saving are timed inside the program, without the reading before them.
save_us="" write_us=""
for ((i = 0; i < RUNS; i++)); do
    "$prog" save "$file" "$work/saved.rtf" >"$work/save.out" 2>"$work/save.err" ||
        { cat "$work/save.err" >&2; exit 1; }
    s=$(awk '$1 == "save_us" { print $2 }' "$work/save.out")
    w=$(awk '$1 == "write_us" { print $2 }' "$work/save.out")
    [[ -z "$save_us" || $s -lt $save_us ]] && save_us=$s
    [[ -z "$write_us" || $w -lt $write_us ]] && write_us=$w
done
copy_us=$((copy_ms * 1000))
# What was saved reads back to the same text.
again=$("$prog" read "$work/saved.rtf" 2>/dev/null)
[[ "$again" == "$chars" ]] || { echo "bench_rtf: saved RTF reads back to $again characters, not $chars" >&2; exit 1; }

echo
echo "============================= RTF summary ============================="
echo "document  : $(stat -c %s "$file") bytes of RTF, $chars characters of text"
echo "read      : ${read_ms} ms vs unrtf --text ${unrtf_ms} ms: ratio $(ratio "$read_ms" "$unrtf_ms")  (target < 1.0)"
echo "save      : $((save_us / 1000)) ms (RTF $(stat -c %s "$work/saved.rtf") bytes) vs cp + sync ${copy_ms} ms: ratio $(ratio "$save_us" "$copy_us")"
echo "  writing : $((write_us / 1000)) ms of it: ratio $(ratio "$write_us" "$copy_us") to cp + sync"
echo "machine   : $(nproc) CPU, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "======================================================================="
