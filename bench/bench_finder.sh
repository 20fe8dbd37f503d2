#!/usr/bin/env bash
# The finder of files no record mentions, whole process, against one global search of the same
# catalogue in the same run:
#
#   bench/bench_finder.sh
#
# A folder of FILES files is looked for in the generated catalogue of RECORDS records, a tenth of
# the files being named by records appended to the letter files (so that the analysis finds
# some). talvo5-cli uncatalogued FOLDER is timed against talvo5-cli search --count of the folder's
# path (the text the finder looks for in every line) and of ROSE (a frequent text). Best of RUNS.
# Settings from the environment:
#   RECORDS=1000000  FILES=10000  RUNS=5  SEED=1
#   BUILD_DIR=build-bench  SKIP_BUILD=1 (use the build as it is)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
RECORDS=${RECORDS:-1000000}
FILES=${FILES:-10000}
RUNS=${RUNS:-5}
SEED=${SEED:-1}
BUILD_DIR=${BUILD_DIR:-build-bench}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac
[[ -n "${EPOCHREALTIME:-}" ]] || { echo "bench_finder: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 1; }

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    echo "== building (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build" --target talvo5-cli make_catalogue talvo_data
fi
cli="$build/bin/talvo5-cli"
gen="$build/bench/make_catalogue"
[[ -x "$cli" && -x "$gen" ]] || { echo "bench_finder: $cli or $gen is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-finder.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
cat_dir="$work/catalogue"
echo "== generating $RECORDS records (seed $SEED) and $FILES files"
"$gen" "$cat_dir" "$RECORDS" "$SEED" 2>"$work/gen.log" || { cat "$work/gen.log" >&2; exit 1; }
cp "$build/bin/francais.lng" "$cat_dir/"
files="$work/Mes Documents"
mkdir -p "$files"
(cd "$files" && for ((i = 0; i < FILES; i++)); do printf -v n 'photo%05d.jpg' "$i"; : >"$n"; done)
# A tenth of them catalogued, in the letter file of their key.
for ((i = 0; i < FILES; i += 10)); do
    printf 'PHOTO %05d@01-01-2020[]PHOTOS#\xa7%s/PHOTO%05d.JPG\r\n' "$i" "$files" "$i"
done >>"$cat_dir/P.MFI"
LC_ALL=C sort -f -o "$cat_dir/P.MFI" "$cat_dir/P.MFI"
cat "$cat_dir"/*.MFI >/dev/null

source "$here/timing.sh"

echo "== timing, best of $RUNS"
best finder "$cli" --home "$cat_dir" uncatalogued "$files"
best folder "$cli" --home "$cat_dir" search --count "$files/"
best rose "$cli" --home "$cat_dir" search --count ROSE
listed=$(wc -l <"$work/finder.out")
[[ $listed -eq $((FILES - (FILES + 9) / 10)) ]] || { echo "bench_finder: $listed files listed, expected $((FILES - (FILES + 9) / 10))" >&2; exit 1; }

echo
echo "=========================== finder summary ==========================="
echo "catalogue : $RECORDS records + $(((FILES + 9) / 10)) naming the folder, $(cat "$cat_dir"/*.MFI | wc -c) bytes"
echo "finder    : $FILES files, $(tail -n1 "$work/finder.err"): ${finder_ms} ms"
echo "vs search of the folder's path ${folder_ms} ms: ratio $(ratio "$finder_ms" "$folder_ms")  (target <= 3.0)"
echo "vs search ROSE ${rose_ms} ms: ratio $(ratio "$finder_ms" "$rose_ms")  (target <= 3.0)"
echo "machine   : $(nproc) CPU, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "======================================================================"
