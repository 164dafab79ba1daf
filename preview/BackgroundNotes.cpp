#include "BackgroundNotes.h"

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
                        BackgroundPlacement placement) {
    const QByteArray raw = platform::encodePath(result.path);
    const QString weight =
        ImageWeightText(platform::displayName(raw.mid(raw.lastIndexOf('/') + 1)), result.bytes,
                        result.analysis ? result.analysis->size : QSize());
    const QString note = BackgroundNote(result, textColour, placement);
    return note.isEmpty() ? weight : weight + QStringLiteral(" \u2014 ") + note;
}

} // namespace zelvorin::preview
