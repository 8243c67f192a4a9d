#!/usr/bin/env bash
# Installs the Debian packages that KORVA needs to build, test and run, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  qt6-base-dev libgl-dev libx11-dev
  libhidapi-dev libjsoncpp-dev libsimpleini-dev libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth dbus-daemon ccache
  # fuzz/run.sh: clang with its libFuzzer runtime.
  clang libclang-rt-14-dev
  # The skin's font for the Chinese texts ("Droid Sans Fallback"): without a font with Chinese
  # glyphs every label of the Chinese start shows as boxes. fontconfig finds it once installed.
  fontconfig fonts-droid-fallback
  # Qt's own dialogs (the file choosers) in Chinese with the Chinese window.
  qt6-translations-l10n
  # The package test: cpack's dependency scan, the AppStream and desktop entry checks.
  dpkg-dev file appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
