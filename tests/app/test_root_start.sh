#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up as root. Without consent the program never waits on a box nobody may see: from a
# terminal, or with no display, it prints its refusal on standard error and ends at once.
# With "--no-sandbox" it starts, headless and on a virtual X display (the line that
# scripts/run.sh suggests when there is no display).
set -euo pipefail
program=$1/zelvorin
[ "$(id -u)" -eq 0 ] || { echo "not root: nothing to test"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QTWEBENGINE_DISABLE_SANDBOX QTWEBENGINE_CHROMIUM_FLAGS ZELVORIN_QUIT_AFTER_FIRST_PAGE
fail() { echo "FAIL: $*"; exit 1; }

# From a terminal: script(1) gives the program a terminal as its standard error. The time
# limit only ends a run that hangs; a refusal comes back at once.
status=0
QT_QPA_PLATFORM=offscreen timeout 60 script -qec "$(printf '%q' "$program")" /dev/null \
    < /dev/null > "$work/terminal.txt" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "from a terminal: exit $status, expected 2: $(cat "$work/terminal.txt")"
grep -q "zelvorin --no-sandbox" "$work/terminal.txt" ||
    fail "the refusal does not name the flag: $(cat "$work/terminal.txt")"

# No terminal and no display: the text goes to standard error all the same.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 "$program" \
    < /dev/null > /dev/null 2> "$work/stderr.txt" || status=$?
[ "$status" -eq 2 ] || fail "with no display: exit $status, expected 2"
grep -q "zelvorin --no-sandbox" "$work/stderr.txt" || fail "no refusal on stderr"

# With consent the program starts and loads its first page.
export ZELVORIN_QUIT_AFTER_FIRST_PAGE=1
out=$(QT_QPA_PLATFORM=offscreen timeout 120 "$program" --no-sandbox 2> "$work/start.log") ||
    fail "with --no-sandbox: $(tail -5 "$work/start.log")"
echo "$out" | grep -q "first page loaded" || fail "with --no-sandbox, no first page: $out"

if command -v xvfb-run > /dev/null; then
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 120 \
        xvfb-run -a -s "-screen 0 1280x800x24" "$program" --no-sandbox 2> "$work/xvfb.log") ||
        fail "under xvfb-run: $(tail -5 "$work/xvfb.log")"
    echo "$out" | grep -q "first page loaded" || fail "under xvfb-run, no first page: $out"
fi
echo "root start-up behaves"
