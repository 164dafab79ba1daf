#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds and runs the whole test suite headless, the Debian package's
# build and checks included.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" --package-tools "$here/build"
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure --timeout 600 -j "$(nproc)"
