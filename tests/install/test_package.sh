#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack, checks it as a distribution would (desktop entry,
# AppStream metadata, lintian), unpacks it into a temporary root and starts the unpacked
# program headless. scripts/setup.sh --package-tools installs the tools this needs.
set -euo pipefail
build=$1
fail() { echo "FAIL: $*"; exit 1; }
missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli file; do
    command -v "$tool" > /dev/null || missing+=("$tool")
done
[ ${#missing[@]} -eq 0 ] ||
    fail "missing ${missing[*]}: run scripts/setup.sh --package-tools to install them"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one package: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb"), $(du -h "$deb" | cut -f1)"

# Dependencies: those dpkg-shlibdeps found, and those loaded at run time (the SVG image
# plugin's package is named by the release: libqt6svg6 or qt6-svg-plugins).
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
svg_plugin=$(dpkg-query -S '*/qt6/plugins/imageformats/libqsvg.so' | cut -d: -f1)
# Debian 13 renamed some libraries' packages for 64-bit time (libqt6core6t64).
for package in libc6 libqt6core6 libqt6webenginecore6 libqt6webenginecore6-bin "$svg_plugin" \
               qt6-image-formats-plugins libqt6svg6 libsqlite3-0 zlib1g; do
    found=""
    for name in "$package" "${package}t64"; do
        [[ ", $depends," == *", $name "* || ", $depends," == *", $name,"* ]] && found=yes
    done
    [ -n "$found" ] || fail "Depends lacks $package"
done
# libavif's package carries its library's soname: libavif15 in Debian 12, libavif16 in 13.
[[ ", $depends," == *", libavif1"[0-9]* ]] || fail "Depends lacks libavif"

root=$work/root
dpkg -x "$deb" "$root"
app=com.morvenkast.Zelvorin
for f in bin/zelvorin bin/zelvorin-reg share/zelvorin/zelvorin.html \
         share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
         share/icons/hicolor/scalable/apps/$app.svg \
         share/man/man1/zelvorin.1.gz share/man/man1/zelvorin-reg.1.gz \
         share/doc/zelvorin/copyright share/doc/zelvorin/changelog.gz; do
    [ -s "$root/usr/$f" ] || fail "missing from the package: /usr/$f"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app.png
    file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "icon $size: $(file -b "$png")"
done
# The manual pages format without a complaint.
for page in "$root"/usr/share/man/man1/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# The desktop entry's icon and the metadata's id are the package's application id.
grep -qx "Icon=$app" "$root/usr/share/applications/$app.desktop" || fail "the desktop entry's icon"
grep -q "<id>$app</id>" "$root/usr/share/metainfo/$app.metainfo.xml" || fail "the metadata's id"
desktop-file-validate "$root/usr/share/applications/$app.desktop" ||
    fail "desktop-file-validate found errors"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" ||
    fail "appstreamcli validate failed"
# lintian may take its time on a large binary; warnings are shown, errors fail the test.
lintian --fail-on error --display-info "$deb" > "$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian found errors"; }
cat "$work/lintian.log"
# Built with the distribution's hardening: lintian finds no binary without it.
! grep -Ew "hardening-no-(bindnow|fortify-functions|relro|pie)" "$work/lintian.log" ||
    fail "the programs are not built with the hardening flags"

# The unpacked program finds its program folder in /usr/share/zelvorin and starts.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache QT_QPA_PLATFORM=offscreen ZELVORIN_QUIT_AFTER_FIRST_PAGE=1
mkdir -p "$HOME"
consent=()
[ "$(id -u)" -eq 0 ] && consent=(--no-sandbox)
out=$(cd / && timeout 120 "$root/usr/bin/zelvorin" "${consent[@]}" 2> "$work/stderr.log") ||
    { tail -20 "$work/stderr.log"; fail "the unpacked program failed"; }
echo "$out" | grep -q "first page loaded" || fail "no first page: $out"
[ ! -e "$XDG_DATA_HOME/zelvorin/Samples" ] || fail "the packaged Samples were not used"
"$root/usr/bin/zelvorin-reg" query 'HKCU\Software\Morvenkast\Zelvorin\Interface' /v WindowState |
    grep -q WindowState || fail "settings not readable by the packaged zelvorin-reg"
echo "package built, checked and started"
