#!/usr/bin/env bash
# Operations on many records, whole process, against the shell tools doing the same work on the
# same files in the same run:
#
#   bench/bench_operations.sh
#
# (a) talvo5-cli replace-all --field all ROSE IRIS (the files it changes kept for undoing
#     included; a replacement of the same length, since one that made a record longer than 256
#     characters is refused) against LC_ALL=C sed -i 's/ROSE/IRIS/' on the 36 letter files followed by
#     sort -f of each;
# (b) talvo5-cli import of a 100,000-line export file, then talvo5-cli analyse, against appending those lines to their
#     letter files with grep and cat >>, sorting the 36 files and running the analysis script (d);
# (c) talvo5-cli analyse, when the tool has it, against (d);
# (d) a one-pass LC_ALL=C mawk script counting the records, the distinct dates, supports and
#     categories;
# (e) in the main window offscreen (bench_window), the refine of the grid of a search of ROSE by
#     the key text LA, against that search (Enter to the full grid), medians of RUNS in one process.
# Each run starts from a fresh copy of the catalogue (copied before the clock starts). Best of
# RUNS. Settings from the environment:
#   RECORDS=1000000  IMPORT_LINES=100000  RUNS=3  SEED=1
#   BUILD_DIR=build-bench  SKIP_BUILD=1 (use the build as it is)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
RECORDS=${RECORDS:-1000000}
IMPORT_LINES=${IMPORT_LINES:-100000}
RUNS=${RUNS:-3}
SEED=${SEED:-1}
BUILD_DIR=${BUILD_DIR:-build-bench}
case "$BUILD_DIR" in /*) build="$BUILD_DIR" ;; *) build="$root/$BUILD_DIR" ;; esac
[[ -n "${EPOCHREALTIME:-}" ]] || { echo "bench_operations: needs bash 5 (\$EPOCHREALTIME)" >&2; exit 1; }
command -v mawk >/dev/null || { echo "bench_operations: skipped: mawk is missing (Debian package 'mawk')"; exit 0; }

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    echo "== building (Release) in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVO_TESTS=OFF >/dev/null
    cmake --build "$build" --target talvo5-cli make_catalogue talvo_data bench_window
fi
cli="$build/bin/talvo5-cli"
gen="$build/bench/make_catalogue"
[[ -x "$cli" && -x "$gen" ]] || { echo "bench_operations: $cli or $gen is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-ops.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
master="$work/master"
echo "== generating $RECORDS records (seed $SEED)"
"$gen" "$master" "$RECORDS" "$SEED" 2>"$work/gen.log" || { cat "$work/gen.log" >&2; exit 1; }
cp "$build/bin/francais.lng" "$master/"
letters=(0 1 2 3 4 5 6 7 8 9 A B C D E F G H I J K L M N O P Q R S T U V W X Y Z)

# The export to import: IMPORT_LINES lines of another catalogue (another seed).
"$gen" "$work/other" "$IMPORT_LINES" $((SEED + 1)) 2>/dev/null
(cd "$work/other" && cat "${letters[@]/%/.MFI}") >"$work/export.MFI"

analysis='{ n++; a = index($0, "@"); b = index($0, "["); c = index($0, "]"); d = index($0, "#");
  if (a && b > a && c > b && d > c) { dates[substr($0, a + 1, b - a - 1)]; sup[substr($0, b + 1, c - b - 1)]; cat[substr($0, c + 1, d - c - 1)] } }
  END { for (k in dates) nd++; for (k in sup) ns++; for (k in cat) nc++; print n, nd, ns, nc }'

fresh() { rm -rf "$work/run"; cp -a "$master" "$work/run"; sync; cat "$work/run"/*.MFI >/dev/null; }

source "$here/timing.sh"
before_run=fresh

shell_replace() {
    cd "$work/run"
    for l in "${letters[@]}"; do
        LC_ALL=C sed -i 's/ROSE/IRIS/' "$l.MFI"
        LC_ALL=C sort -f -o "$l.MFI" "$l.MFI"
    done
}
shell_analysis() { (cd "$work/run" && LC_ALL=C mawk "$analysis" "${letters[@]/%/.MFI}"); }
shell_import() {
    cd "$work/run"
    for l in "${letters[@]}"; do
        LC_ALL=C grep "^$l" "$work/export.MFI" >>"$l.MFI" || true
        LC_ALL=C sort -f -o "$l.MFI" "$l.MFI"
    done
    shell_analysis
}

echo "== timing, best of $RUNS"
best replace "$cli" --home "$work/run" replace-all --field all ROSE IRIS
replaced=$(cat "$work/replace.out")
best sed shell_replace
# As the window's import does, the analysis follows.
cli_import() { "$cli" --home "$work/run" import "$work/export.MFI" && "$cli" --home "$work/run" analyse >/dev/null; }
best import cli_import
imported=$(cat "$work/import.out")
best shellimport shell_import
best mawk shell_analysis
counts=$(cat "$work/mawk.out")
have_analyse=0
# grep reads the whole usage: with -q it would stop early and the pipe fail under pipefail.
if "$cli" --help 2>/dev/null | grep '^  analyse' >/dev/null; then
    have_analyse=1
    best analyse "$cli" --home "$work/run" analyse
fi
refine_out=$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_window" --home "$master" --search ROSE --refine LA \
    --runs "$RUNS" 2>/dev/null)
value() { sed -n "s/^$1 //p" <<<"$refine_out"; }

echo
echo "========================= operations summary ========================="
echo "catalogue    : $RECORDS records, $(cat "$master"/*.MFI | wc -c) bytes; mawk counts (records dates supports categories): $counts"
echo "replace-all  : ${replace_ms} ms ($replaced) vs sed -i + sort -f ${sed_ms} ms: ratio $(ratio "$replace_ms" "$sed_ms")  (target <= 1.0)"
echo "import       : ${import_ms} ms ($imported, analyse included) vs grep + cat >> + sort -f + mawk ${shellimport_ms} ms: ratio $(ratio "$import_ms" "$shellimport_ms")  (target <= 1.0)"
if [[ $have_analyse == 1 ]]; then
    echo "analyse      : ${analyse_ms} ms vs mawk ${mawk_ms} ms: ratio $(ratio "$analyse_ms" "$mawk_ms")  (target <= 1.0)"
else
    echo "analyse      : not in this build of talvo5-cli; mawk alone ${mawk_ms} ms"
fi
echo "refine       : $(value rows) rows to $(value refined_rows): $(value refine_median_ms) ms vs the search $(value search_median_ms) ms: ratio $(value refine_to_search)  (target <= 1.0)"
echo "machine      : $(nproc) CPU, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "======================================================================"
