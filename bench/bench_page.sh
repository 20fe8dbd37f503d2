#!/usr/bin/env bash
# The HTML page of PICTURES pictures (copy mode 0: the sizes are read, nothing is copied), whole
# process, against identify -format '%w %h\n' (ImageMagick) over the same pictures in the same
# run:
#
#   bench/bench_page.sh
#
# The pictures are JPEGs of 640 x 480 made once with ImageMagick; each is a record of the
# catalogue. Best of RUNS. Settings from the environment:
#   PICTURES=2000  RUNS=5  BUILD_DIR=build-bench  SKIP_BUILD=1 (use the build as it is)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
PICTURES=${PICTURES:-2000}
RUNS=${RUNS:-5}
BUILD_DIR=${BUILD_DIR:-build-bench}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac
[[ -n "${EPOCHREALTIME:-}" ]] || { echo "bench_page: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 1; }
command -v identify >/dev/null || { echo "bench_page: skipped: identify is missing (Debian package 'imagemagick')"; exit 0; }

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    echo "== building (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build" --target talvo5-cli talvo_data
fi
cli="$build/bin/talvo5-cli"
[[ -x "$cli" ]] || { echo "bench_page: $cli is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-page.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$work/pictures"
echo "== making $PICTURES pictures"
convert -size 640x480 plasma:fractal -quality 85 "$work/model.jpg"
for ((i = 0; i < PICTURES; i++)); do printf -v n '%s/pictures/photo %05d.jpg' "$work" "$i"; cp "$work/model.jpg" "$n"; done
"$cli" --home "$work/catalogue" init >/dev/null 2>&1
for ((i = 0; i < PICTURES; i++)); do
    printf 'PHOTO %05d@01-01-2020[]PHOTOS#\xa7%s/pictures/photo %05d.jpg\r\n' "$i" "$work" "$i"
done >"$work/catalogue/P.MFI"
cat "$work/pictures"/* >/dev/null

source "$here/timing.sh"
identify_all() { identify -format '%w %h\n' "$work/pictures"/*.jpg; }

echo "== timing, best of $RUNS"
best page "$cli" --home "$work/catalogue" html-page bench --search PHOTO --copy-mode 0
best identify identify_all
sized=$(grep -c 'Width="640" Height="480"' "$HOME/bench/bench.htm")
[[ $sized -eq $PICTURES ]] || { echo "bench_page: $sized pictures sized in the page, expected $PICTURES" >&2; exit 1; }

echo
echo "============================ page summary ============================"
echo "page      : $PICTURES pictures of 640 x 480, $(cat "$work/page.out"): ${page_ms} ms"
echo "vs identify -format '%w %h' ${identify_ms} ms: ratio $(ratio "$page_ms" "$identify_ms")  (target <= 1.0)"
echo "machine   : $(nproc) CPU, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "======================================================================"
