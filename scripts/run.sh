#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds and starts Zelvorin; its own arguments are passed on to the
# program. As root the web engine needs the explicit consent "--no-sandbox":
#     scripts/run.sh --no-sandbox
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$here/build/bin/zelvorin

consent=""
for argument in "$@"; do
    [ "$argument" = "--no-sandbox" ] && consent=yes
done
root=""
[ "$(id -u)" -eq 0 ] && root=yes
if [ -n "$root" ] && [ -z "$consent" ] && [ -z "${QTWEBENGINE_DISABLE_SANDBOX:-}" ]; then
    cat >&2 <<TXT
You are root. Zelvorin's web engine (Chromium) does not start as root with its sandbox
on, so Zelvorin will need your consent to run without it: start this script as
"scripts/run.sh --no-sandbox", or run it as a normal user.

TXT
fi

"$here/scripts/setup.sh" "$here/build"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    # The suggested line must work as it stands for whoever ran this script.
    line="xvfb-run -a -s \"-screen 0 1280x800x24\" $(printf '%q' "$program")"
    for argument in "$@"; do
        line+=" $(printf '%q' "$argument")"
    done
    [ -n "$root" ] && [ -z "$consent" ] && line+=" --no-sandbox"
    cat >&2 <<TXT
Zelvorin is built, but there is no display to show its window on (DISPLAY and
WAYLAND_DISPLAY are not set). Start it on a virtual display instead:

    $line
TXT
    exit 1
fi
exec "$program" "$@"
