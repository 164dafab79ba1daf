// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A small reader for the rich text the gradient tool writes: enough RTF to get the colour
// table, the font table's first font and each letter with the colour it is shown in.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

namespace zelvorin::test {

struct RtfLetters {
    QString fontName;
    QList<QColor> colorTable; // index 0 is the "auto" colour
    QString text;
    QList<QColor> letterColors; // one per UTF-16 unit of text
    bool valid = false;
};

RtfLetters readRtfLetters(const QByteArray& rtf);

} // namespace zelvorin::test
