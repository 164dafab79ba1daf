// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BackgroundNotes.h"

#include "HighDensityImage.h"
#include "ImageWeight.h"
#include "LosslessNames.h"

#include <QCoreApplication>

#include <cmath>

namespace zelvorin::preview {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("BackgroundNotes", text);
}

// Ratios come from floating-point sums: an exact 4.5 may arrive as 4.4999999.
constexpr double Slack = 1e-9;

} // namespace

QString ContrastText(double ratio) {
    const double shown = std::floor(ratio * 10 + Slack) / 10;
    const QString figure = QString::number(shown, 'f', 1);
    const QString limit = QString::number(ReadableContrast, 'f', 1);
    return ratio + Slack >= ReadableContrast
               ? tr("Text contrast %1:1 at worst (meets %2:1)").arg(figure, limit)
               : tr("Text contrast %1:1 at worst (below %2:1)").arg(figure, limit);
}

QString UnreadableImageText(const QString& reason) {
    const QString text = tr("Text contrast unknown: the image cannot be read");
    return reason.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, reason);
}

QString SeamText(bool across, bool down) {
    if (across && down)
        return tr("Seams show where the tile repeats across and down");
    if (across)
        return tr("Seams show where the tile repeats across");
    if (down)
        return tr("Seams show where the tile repeats down");
    return QString();
}

QString EnlargedTileText(const QString& partnerName) {
    return tr("Will be enlarged on 2x screens (no %1 beside it)").arg(partnerName);
}

QString BackgroundNote(const TileAnalysisResult& result, const QColor& textColour,
                       BackgroundPlacement placement) {
    if (!result.analysis)
        return UnreadableImageText(result.error);
    const TileAnalysis& analysis = *result.analysis;
    QStringList parts;
    if (textColour.isValid())
        parts << ContrastText(WorstTextContrast(analysis, textColour));
    const QString seams = SeamText(RepeatsAcross(placement) && SeamVisibleAcross(analysis),
                                   RepeatsDown(placement) && SeamVisibleDown(analysis));
    if (!seams.isEmpty())
        parts << seams;
    return parts.join(QStringLiteral(" \u2014 "));
}

QString ChosenImageNote(const TileAnalysisResult& result, const QColor& textColour,
                        BackgroundPlacement placement, bool hasHighDensityPartner) {
    const auto nameOf = [](const QByteArray& raw) {
        return platform::displayName(raw.mid(raw.lastIndexOf('/') + 1));
    };
    const QByteArray raw = platform::encodePath(result.path);
    QStringList parts{ImageWeightText(nameOf(raw), result.bytes,
                                      result.analysis ? result.analysis->size : QSize())};
    const QString note = BackgroundNote(result, textColour, placement);
    if (!note.isEmpty())
        parts << note;
    const QByteArray partner = HighDensityName(raw);
    if (result.analysis && !hasHighDensityPartner && !partner.isEmpty() &&
        (RepeatsAcross(placement) || RepeatsDown(placement)))
        parts << EnlargedTileText(nameOf(partner));
    return parts.join(QStringLiteral(" \u2014 "));
}

} // namespace zelvorin::preview
