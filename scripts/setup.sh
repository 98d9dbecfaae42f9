#!/usr/bin/env bash
# Installs what building and testing そろべえ needs on Debian 12: the compiler,
# CMake, Qt 6, the Japanese Mincho/Gothic fonts the printouts and the window use,
# the PDF tools the tests read exported printouts back with, and what installing
# and packaging need: Qt's SVG module for the icons, the desktop entry and
# AppStream validators, and dpkg-dev and file for the package's library dependencies.
# gcc's AddressSanitizer and UndefinedBehaviorSanitizer runtimes, which
# `make test-sanitize` links, come with build-essential (libasan8, libubsan1).
# Does nothing when everything is already there, so `make run` stays quick.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev
  qt6-qpa-plugins qt6-translations-l10n
  libbenchmark-dev
  fonts-ipafont-mincho fonts-ipafont-gothic
  poppler-utils
  qt6-svg-dev desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
