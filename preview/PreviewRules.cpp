// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PreviewRules.h"

#include "LosslessNames.h"
#include "ProgramValues.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <cmath>

namespace zelvorin::preview {

QString ColorText(const QColor& colour) {
    return QStringLiteral("#%1").arg(colour.rgb() & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
}

QColor ColorFromBgColorText(const QString& text) {
    QString digits = text;
    if (digits.size() == 7)
        digits.remove(0, 1);
    if (digits.size() != 6)
        return QColor();
    bool ok = false;
    const uint rgb = digits.toUInt(&ok, 16);
    if (!ok)
        return QColor();
    return QColor::fromRgb(QRgb(rgb));
}

QColor ColorFromCssText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*rgba?\(\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*(?:,\s*([0-9.]+)\s*)?\)\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return QColor();
    if (match.hasCaptured(4) && match.captured(4).toDouble() <= 0.0)
        return QColor();
    const auto channel = [&](int index) { return int(qMin(match.captured(index).toUInt(), 255u)); };
    return QColor(channel(1), channel(2), channel(3));
}

Captions CaptionsForTitle(const QString& title) {
    const QString lower = title.toLower();
    if (title.isEmpty() || lower == QLatin1String("about:blank") ||
        lower.startsWith(QLatin1String("res:")) || lower.startsWith(QLatin1String("qrc:")))
        return {ProductTitle, ProductTitle};
    return {ProductTitle + QStringLiteral(" -  ") + title, (QStringLiteral(" ") + title).left(255)};
}

bool ShowsStatusText(const QString& text) {
    const QString lower = text.toLower();
    return !lower.contains(QLatin1String(" res://")) && !lower.contains(QLatin1String(" qrc:"));
}

Gauge GaugeAfterProgress(Gauge gauge, qint64 progress, qint64 maximum) {
    if (progress == 0 && maximum > 0)
        gauge.enabled = true;
    if (progress > 0) {
        // A maximum of 0 or less gives no fraction to show; the gauge stays where it was.
        if (maximum > 0)
            gauge.position = int(qBound(qint64(0), progress * 100 / maximum, qint64(100)));
    } else if (progress == 0) {
        gauge.position = 0;
    }
    if (progress == 0 && maximum == 0)
        gauge.enabled = false;
    return gauge;
}

namespace {
constexpr std::array<double, ZoomLevelCount> ZoomFactors = {0.75, 0.875, 1.0, 1.25, 1.5};
}

double ZoomFactorForLevel(int level) {
    if (level < 0 || level >= ZoomLevelCount)
        return 1.0;
    return ZoomFactors[size_t(level)];
}

int ZoomLevelForFactor(double factor) {
    for (int level = 0; level < ZoomLevelCount; ++level) {
        if (std::abs(ZoomFactors[size_t(level)] - factor) < 0.01)
            return level;
    }
    return -1;
}

QUrl UrlForAddress(const QString& address) {
    const QString text = address.trimmed();
    if (text.startsWith(QLatin1Char('/')))
        return platform::fileUrl(platform::encodePath(text));
    return QUrl::fromUserInput(text, QDir::currentPath());
}

bool IsCommandUrl(const QString& url) {
    return url.trimmed().startsWith(QLatin1String("zelvorin://"), Qt::CaseInsensitive);
}

bool IsCommandAddress(const QString& address) {
    return address.trimmed().startsWith(QLatin1String("zelvorin:"), Qt::CaseInsensitive);
}

} // namespace zelvorin::preview
