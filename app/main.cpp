// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Startup.h"

int main(int argc, char** argv) {
    return zelvorin::RunProgram(argc, argv);
}
