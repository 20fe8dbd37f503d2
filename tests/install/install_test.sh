#!/usr/bin/env bash
# install_test.sh BUILD_DIR SOURCE_DIR
# Installs the build into a temporary DESTDIR with the prefix /usr, checks that exactly the expected
# files are there, validates the desktop entry, the metainfo, the icons and the manual page, runs
# the installed talvo5-cli on a fresh user account, then builds the Debian package and checks what
# it holds. Exits 77 (skipped) when a tool it needs is missing.
set -uo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
app_id=org.talvo5.Talvo5
icon_sizes=(16 24 32 48 64 128 256)
# The programs with a desktop entry and an icon of their own.
entries=(talvo5:$app_id redig5:org.talvo5.Redig5 lisor5:org.talvo5.Lisor5 pictel5:org.talvo5.Pictel5)

for tool in cmake cpack desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps file groff gzip; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (tools/setup.sh installs it)"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every file an install must give, relative to the root: nothing more, nothing less. The shipped
# data are every file of archiver/data but its CMakeLists.txt.
expected="$tmp/expected.txt"
{
  echo usr/bin/talvo5
  echo usr/bin/talvo5-cli
  echo usr/bin/redig5
  echo usr/bin/lisor5
  echo usr/bin/pictel5
  for f in "$source"/archiver/data/*; do
    name=$(basename "$f")
    [ -f "$f" ] && [ "$name" != CMakeLists.txt ] && echo "usr/share/talvo5/$name"
  done
  for entry in "${entries[@]}"; do
    echo "usr/share/applications/${entry#*:}.desktop"
    echo "usr/share/icons/hicolor/scalable/apps/${entry%%:*}.svg"
    for s in "${icon_sizes[@]}"; do echo "usr/share/icons/hicolor/${s}x${s}/apps/${entry%%:*}.png"; done
  done
  echo "usr/share/metainfo/$app_id.metainfo.xml"
  echo usr/share/man/man1/talvo5-cli.1.gz
} | LC_ALL=C sort >"$expected"

# Compares a sorted list of installed files with the expected one; names what is missing and what
# should not be there (a test binary, a benchmark, a fuzzer...).
compare_list() {
  local what=$1 list=$2
  local missing extra
  missing=$(LC_ALL=C comm -23 "$expected" "$list")
  extra=$(LC_ALL=C comm -13 "$expected" "$list")
  [ -z "$missing" ] || fail "$what lacks: $(echo $missing)"
  [ -z "$extra" ] || fail "$what holds files that are not to be installed: $(echo $extra)"
}
list_tree() { (cd "$1" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort); }

# --- the install tree ---------------------------------------------------------------------------
root="$tmp/root"
if ! DESTDIR="$root" cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  fail "cmake --install failed"
  exit 1
fi
list_tree "$root" >"$tmp/installed.txt"
compare_list "the install tree" "$tmp/installed.txt"
share="$root/usr/share"

for p in talvo5 talvo5-cli redig5 lisor5 pictel5; do
  [ -x "$root/usr/bin/$p" ] || fail "usr/bin/$p is not executable"
done

metainfo="$share/metainfo/$app_id.metainfo.xml"
# Each desktop entry validates and names its installed program and icon; errors and warnings fail,
# hints, infos and pedantic notes are only shown.
for entry in "${entries[@]}"; do
  program=${entry%%:*}
  desktop="$share/applications/${entry#*:}.desktop"
  if ! out=$(desktop-file-validate "$desktop" 2>&1) || echo "$out" | grep -Eq ': (error|warning): '; then
    fail "desktop-file-validate: $out"
  elif [ -n "$out" ]; then
    echo "desktop-file-validate: $out"
  fi
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ "${exec_line%% *}" = "$program" ] || fail "$desktop starts $exec_line, not $program"
  [ -x "$root/usr/bin/${exec_line%% *}" ] || fail "Exec=$exec_line names no installed program"
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon names no installed icon"
  # Each PNG has the size of its folder.
  for s in "${icon_sizes[@]}"; do
    png="$share/icons/hicolor/${s}x${s}/apps/$icon.png"
    [ -f "$png" ] || continue
    file -b "$png" | grep -q "^PNG image data, $s x $s," || fail "${s}x${s}/apps/$icon.png is $(file -b "$png")"
  done
done
if ! out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || echo "$out" | grep -q '^W: '; then
  fail "appstreamcli validate: $out"
fi

# The metainfo names its desktop entry and programs.
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo launches no $app_id.desktop"
for p in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
  [ -x "$root/usr/bin/$p" ] || fail "the metainfo provides $p, which is not installed"
done

man_page="$share/man/man1/talvo5-cli.1.gz"
if [ -f "$man_page" ]; then
  out=$(gzip -dc "$man_page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$out" ] || fail "the manual page has warnings: $out"
  gzip -dc "$man_page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -P-cbou 2>/dev/null | grep -q "^EXIT STATUS$" ||
    fail "the manual page renders no EXIT STATUS section"
fi

# --- the installed tool on a fresh user account -------------------------------------------------
user="$tmp/user"
mkdir -p "$user/home" "$user/data" "$user/config"
cli() {
  env -u TALVO5_HOME HOME="$user/home" XDG_DATA_HOME="$user/data" XDG_CONFIG_HOME="$user/config" \
    "$root/usr/bin/talvo5-cli" "$@"
}
folder="$user/data/talvo5"
if ! cli init >"$tmp/init.out" 2>&1; then
  fail "talvo5-cli init failed: $(cat "$tmp/init.out")"
fi
for f in A.MFI U.MFI francais.lng english.lng FORET.BMP BACH.MID LISEZMOI.TXT; do
  [ -f "$folder/$f" ] || fail "init left no $f in \$XDG_DATA_HOME/talvo5/"
done
if [ -f "$folder/U.MFI" ]; then
  records=$(grep -c '' "$folder/U.MFI")
  [ "$records" = 6 ] || fail "U.MFI holds $records records, not the 6 examples"
fi
count=$(cli search EXEMPLE --count 2>"$tmp/search.err")
[ "$count" = 6 ] || fail "search EXEMPLE --count printed '$count' ($(cat "$tmp/search.err"))"
cli add --key "éa" --category X >"$tmp/add.out" 2>"$tmp/add.err"
status=$?
[ "$status" = 1 ] || fail "add of a key beginning with an accented letter exited $status, not 1"
[ -s "$tmp/add.err" ] || fail "add of a key beginning with an accented letter said nothing on stderr"
# Nothing was written into the installed tree, and nothing outside the XDG folders.
list_tree "$root" | cmp -s - "$tmp/installed.txt" || fail "running the tool changed the install tree"
[ -z "$(ls -A "$user/home")" ] || fail "the tool wrote into \$HOME: $(ls -A "$user/home")"

# --- the Debian package -------------------------------------------------------------------------
if [ ! -f "$build/CPackConfig.cmake" ]; then
  fail "$build/CPackConfig.cmake is missing"
elif ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  fail "cpack -G DEB failed"
else
  debs=("$tmp"/package/talvo5_5.0_*.deb)
  if [ ${#debs[@]} != 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack made no talvo5_5.0_<arch>.deb: $(ls "$tmp/package")"
  else
    deb=${debs[0]}
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | LC_ALL=C sort >"$tmp/deb.txt"
    compare_list "the package" "$tmp/deb.txt"
    # field, then an extended regular expression its value must match
    while read -r field pattern; do
      value=$(dpkg-deb -f "$deb" "$field")
      echo "$value" | grep -Eq "$pattern" || fail "package field $field is '$value', which does not match $pattern"
    done <<'FIELDS'
Package ^talvo5$
Version ^5\.0$
Maintainer ^Talvo5 developers <talvo5@example\.org>$
Section .
Description ^.+
Recommends (^|, )qt6-translations-l10n(,|$)
Depends (^|, )libqt6core6( |,|$)
Depends (^|, )libqt6widgets6( |,|$)
FIELDS
  fi
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install tree, desktop files, installed tool and Debian package: all checks passed"
