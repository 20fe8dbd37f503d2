#!/usr/bin/env bash
# The image viewer on a 40-megapixel JPEG, whole process, against ImageMagick on the same file in
# the same run:
#
#   bench/imageviewer/bench_pictel.sh
#
#   open   the picture until it is shown                          vs  convert big.jpg -resize 100% null:
#   crop   open, select 2000 × 2000 at 100,100 with the mouse,
#          crop and save as PNG                                   vs  convert big.jpg -crop 2000x2000+100+100 out.png
#
# Best of RUNS. Settings from the environment: RUNS=5  BUILD_DIR=build-bench  SKIP_BUILD=1
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
RUNS=${RUNS:-5}
BUILD_DIR=${BUILD_DIR:-build-bench}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac
[[ -n "${EPOCHREALTIME:-}" ]] || { echo "bench_pictel: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 1; }
command -v convert >/dev/null || { echo "bench_pictel: skipped: ImageMagick's convert is missing (tools/setup.sh --bench)"; exit 0; }

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    echo "== building (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build" --target bench_pictel
fi
viewer="$build/bench/bench_pictel"
[[ -x "$viewer" ]] || { echo "bench_pictel: $viewer is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-pictel.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TALVO5_HOME="$work/folder"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$TALVO5_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
source "$root/bench/timing.sh"

echo "== making a 40-megapixel JPEG"
convert -seed 7 -size 7744x5164 plasma:fractal -quality 90 "$work/big.jpg"
printf '   big.jpg: %s bytes, %s\n' "$(stat -c %s "$work/big.jpg")" "$(identify -format '%wx%h' "$work/big.jpg")"

best open_ours "$viewer" open "$work/big.jpg"
best open_convert convert "$work/big.jpg" -resize 100% null:
best crop_ours "$viewer" crop "$work/big.jpg" "$work/ours.png" 100 100 2000 2000
best crop_convert convert "$work/big.jpg" -crop 2000x2000+100+100 "$work/theirs.png"
printf '   open: %s; crop: %s\n' "$(cat "$work/open_ours.out")" "$(cat "$work/crop_ours.out")"
printf '   saved: ours.png %s (%s bytes), theirs.png %s (%s bytes)\n' \
    "$(identify -format '%wx%h' "$work/ours.png")" "$(stat -c %s "$work/ours.png")" \
    "$(identify -format '%wx%h' "$work/theirs.png")" "$(stat -c %s "$work/theirs.png")"

printf '%-58s %8s %8s %7s\n' "work" "ours ms" "ref ms" "ratio"
printf '%-58s %8d %8d %7s\n' "open 40 MP JPEG until shown (vs convert -resize 100%)" "$open_ours_ms" "$open_convert_ms" "$(ratio "$open_ours_ms" "$open_convert_ms")"
printf '%-58s %8d %8d %7s\n' "crop 2000x2000 and save as PNG (vs convert -crop)" "$crop_ours_ms" "$crop_convert_ms" "$(ratio "$crop_ours_ms" "$crop_convert_ms")"
