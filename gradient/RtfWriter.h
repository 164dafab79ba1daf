// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Rich text (RTF) for a line of letters, each in a colour of its own: a font table with
// one font, a colour table, and one colour switch per letter. This is what other
// programs receive when the gradient text is pasted as rich text.
#pragma once

#include "GradientColors.h"

#include <QByteArray>
#include <QFont>

namespace zelvorin::gradient {

QByteArray coloredLettersRtf(const QFont& font, const std::vector<ColoredLetter>& letters);

} // namespace zelvorin::gradient
