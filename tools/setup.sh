#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev        # libFuzzer runs on the parsers
  util-linux e2fsprogs            # unshare and chattr for the crash-safety tests
  desktop-file-utils appstream    # validators of the desktop entry and the metainfo
  dpkg-dev file groff-base        # the Debian package's dependencies; icon sizes; the manual page
  qt6-translations-l10n           # Qt's own translations, which the window loads
  xvfb openbox xdotool x11-utils imagemagick   # windows tried and shot as a user sees them
  chromium                        # the HTML page of the pictures, rendered as a browser shows it
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(ripgrep hyperfine time unrtf python3)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
