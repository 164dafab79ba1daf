#!/usr/bin/env bash
# Sets everything up, builds and starts Zelvorin.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<TXT
Zelvorin is built, but there is no display to show its window on (DISPLAY and
WAYLAND_DISPLAY are not set). Start it on a virtual display instead:

    xvfb-run -a -s "-screen 0 1280x800x24" $here/build/bin/zelvorin
TXT
    exit 1
fi
exec "$here/build/bin/zelvorin" "$@"
