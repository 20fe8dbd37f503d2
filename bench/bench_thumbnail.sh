#!/usr/bin/env bash
# The record card's thumbnail of a 24-megapixel JPEG, whole process, against ImageMagick making a
# thumbnail of the same file in the same run.
#
#   bench/bench_thumbnail.sh
#
# (a) bench_card opens the card of a record whose target is the JPEG (offscreen, temporary
#     program folder) and exits once the thumbnail is drawn;
# (b) convert big.jpg -thumbnail 137x137 thumb.png.
# Best of RUNS of each; the target is (a)/(b) <= 1.0. Settings from the environment:
#   RUNS=5   BUILD_DIR=build-bench   SKIP_BUILD=1 (use the build as it is)   CONVERT=convert
# Needs ImageMagick's convert (tools/setup.sh installs it): without it the benchmark is skipped.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
RUNS=${RUNS:-5}
BUILD_DIR=${BUILD_DIR:-build-bench}
CONVERT=${CONVERT:-convert}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac

if ! command -v "$CONVERT" >/dev/null 2>&1 || ! "$CONVERT" -version 2>/dev/null | grep -q ImageMagick; then
    echo "bench_thumbnail: skipped: ImageMagick's convert is missing (Debian package 'imagemagick')"
    exit 0
fi
[[ -n "${EPOCHREALTIME:-}" ]] || { echo "bench_thumbnail: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 1; }

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    echo "== building bench_card (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build" --target bench_card talvo_data
fi
card="$build/bench/bench_card"
[[ -x "$card" ]] || { echo "bench_thumbnail: $card is missing: the build did not produce it" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-thumb.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

big="$work/big.jpg"
echo "== generating a 6000 x 4000 JPEG (plasma fractal, quality 90)"
"$CONVERT" -seed 1 -size 6000x4000 plasma:fractal -quality 90 "$big"
size=$("$CONVERT" "$big" -format '%wx%h' info:)
[[ "$size" == 6000x4000 ]] || { echo "bench_thumbnail: generated $size, not 6000x4000" >&2; exit 1; }

# best_ms COMMAND...: the shortest wall time in ms of RUNS runs (after one untimed run); the
# command must succeed.
best_ms() {
    local i t0 t1 us best=""
    "$@" >"$work/out" 2>&1 || { cat "$work/out" >&2; echo "bench_thumbnail: failed: $*" >&2; exit 1; }
    for ((i = 0; i < RUNS; i++)); do
        t0=$EPOCHREALTIME
        "$@" >"$work/out" 2>&1 || { cat "$work/out" >&2; echo "bench_thumbnail: failed: $*" >&2; exit 1; }
        t1=$EPOCHREALTIME
        us=$((${t1/[.,]/} - ${t0/[.,]/}))
        if [[ -z "$best" ]] || ((us < best)); then best=$us; fi
    done
    awk -v u="$best" 'BEGIN { printf "%.1f", u / 1000 }'
}

echo "== timing, best of $RUNS"
t_card=$(best_ms env QT_QPA_PLATFORM=offscreen "$card" "$big")
drawn=$(sed -n 's/^thumbnail //p' "$work/out")
t_make=$(best_ms env QT_QPA_PLATFORM=offscreen "$card" --make "$big")
t_convert=$(best_ms "$CONVERT" "$big" -thumbnail 137x137 "$work/thumb.png")
thumb=$("$CONVERT" "$work/thumb.png" -format '%wx%h' info:)
ratio=$(awk -v a="$t_card" -v b="$t_convert" 'BEGIN { printf "%.2f", a / b }')
verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 1.0) ? "met" : "MISSED" }')

cat <<SUMMARY

============================ thumbnail summary ============================
picture      : 6000 x 4000 JPEG, $(stat -c %s "$big") bytes
card         : $t_card ms  (bench_card: whole process, card opened offscreen until its $drawn thumbnail is drawn)
thumbnail    : $t_make ms  (bench_card --make: whole process, the thumbnail alone, no card)
convert      : $t_convert ms  ($CONVERT big.jpg -thumbnail 137x137 thumb.png, $thumb)
ratio        : card/convert = $ratio   (target <= 1.0: $verdict)
machine      : $(nproc) CPU, load $(cut -d' ' -f1-3 /proc/loadavg)
===========================================================================
SUMMARY
