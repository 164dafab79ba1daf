#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and starts the installed program headless:
# the installed program must find its help pages and Samples in share/zelvorin and load
# its first page.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

app=com.morvenkast.Zelvorin
for f in bin/zelvorin bin/zelvorin-reg share/zelvorin/zelvorin.html \
         share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
         share/icons/hicolor/scalable/apps/$app.svg share/icons/hicolor/48x48/apps/$app.png \
         share/man/man1/zelvorin.1.gz share/man/man1/zelvorin-reg.1.gz; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
samples=$(find "$prefix/share/zelvorin/Samples" -type f | wc -l)
[ "$samples" -ge 12 ] || { echo "only $samples files in the installed Samples"; exit 1; }
grep -q '^Exec=zelvorin' "$prefix/share/applications/$app.desktop"

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export QT_QPA_PLATFORM=offscreen ZELVORIN_QUIT_AFTER_FIRST_PAGE=1
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
mkdir -p "$HOME"
out=$(cd / && timeout 120 "$prefix/bin/zelvorin" 2>"$work/stderr.log") || {
    echo "the installed program failed"; cat "$work/stderr.log"; exit 1; }
echo "$out" | grep -q "first page loaded" || { echo "no first page: $out"; exit 1; }
# The installed program used its own Samples: none were made in the user's data folder.
[ ! -e "$XDG_DATA_HOME/zelvorin/Samples" ] || { echo "Samples made in the data folder"; exit 1; }
[ -f "$XDG_CONFIG_HOME/zelvorin/registry.db" ] || { echo "no settings written"; exit 1; }
"$prefix/bin/zelvorin-reg" query 'HKCU\Software\Morvenkast\Zelvorin\Interface' /v WindowState \
    | grep -q WindowState || { echo "settings not readable by zelvorin-reg"; exit 1; }
echo "installed program ran"
