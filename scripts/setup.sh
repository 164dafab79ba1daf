#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Zelvorin needs (only those missing) and builds it.
# Usage: scripts/setup.sh [--package-tools] [build folder]   (default: build)
# --package-tools adds what building and checking the Debian package takes (the tests do).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
package_tools=""
if [ "${1:-}" = "--package-tools" ]; then
    package_tools=yes
    shift
fi
build=${1:-$here/build}

# Two packages are named by the release: Debian 13 (trixie) ships the SVG image plugin that
# draws the icon apart from the SVG library, and pkg-config is pkgconf there. Releases after
# Debian 12 (bookworm) are taken to keep Debian 13's names.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ "$codename" = bookworm ]; then
    release_packages=(pkg-config libqt6svg6)
else
    release_packages=(pkgconf qt6-svg-plugins)
fi
# dpkg-dev gives the build the distribution's hardening flags (dpkg-buildflags).
# The image formats of the web: WebP through Qt's image plugins, SVG through Qt SVG, AVIF
# through libavif, compressed SVG through zlib; the same names in both releases.
packages=(g++ cmake ninja-build dpkg-dev qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin
          qt6-svg-dev qt6-image-formats-plugins libavif-dev zlib1g-dev
          libgl-dev libsqlite3-dev libbenchmark-dev xvfb xauth fonts-dejavu-core nodejs
          "${release_packages[@]}")
[ -n "$package_tools" ] &&
    packages+=(file man-db desktop-file-utils appstream lintian)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)"
