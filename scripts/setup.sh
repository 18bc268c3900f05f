#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Pirela needs.
# Packages already present are skipped, so a second run costs a second at most.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6 qt6-translations-l10n
  libjpeg62-turbo-dev libpng-dev zlib1g-dev
  libheif-dev libwebp-dev libtiff-dev libgif-dev libraw-dev libexif-dev libseccomp-dev
  nettle-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  xvfb xauth openbox x11-utils xdotool
  libx11-dev libxtst-dev libxcb1-dev
  liblcms2-dev liblcms2-utils icc-profiles-free colord-data
  desktop-file-utils appstream
  exfat-fuse exfatprogs fusefat dosfstools
)
PACKAGES+=("$@")

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
