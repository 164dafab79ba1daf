// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BackgroundPlacement.h"

#include "SettingsTable.h"

#include <QCoreApplication>

namespace zelvorin::preview {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("BackgroundPlacement", text);
}

const char* menuCaption(BackgroundPlacement placement) {
    switch (placement) {
    case BackgroundPlacement::Tile:
        return QT_TRANSLATE_NOOP("BackgroundPlacement", "&Tile");
    case BackgroundPlacement::TileAcross:
        return QT_TRANSLATE_NOOP("BackgroundPlacement", "Tile &across");
    case BackgroundPlacement::TileDown:
        return QT_TRANSLATE_NOOP("BackgroundPlacement", "Tile &down");
    case BackgroundPlacement::CentreOnce:
        return QT_TRANSLATE_NOOP("BackgroundPlacement", "&Centre once");
    case BackgroundPlacement::Cover:
        return QT_TRANSLATE_NOOP("BackgroundPlacement", "Co&ver");
    case BackgroundPlacement::Fit:
        return QT_TRANSLATE_NOOP("BackgroundPlacement", "&Fit");
    }
    return "&Tile";
}

// A menu caption without its access key marker ("&&" stays a single "&").
QString plain(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

} // namespace

QString PlacementMenuCaption(BackgroundPlacement placement) {
    return tr(menuCaption(placement));
}

QString PlacementCaption(BackgroundPlacement placement) {
    return plain(PlacementMenuCaption(placement));
}

QString PlacementMenuTitle() {
    return tr(QT_TRANSLATE_NOOP("BackgroundPlacement", "Background p&lacement"));
}

QString FixedMenuCaption() {
    return tr(QT_TRANSLATE_NOOP("BackgroundPlacement", "Fi&xed while scrolling"));
}

QString FixedCaption() {
    return plain(FixedMenuCaption());
}

bool RepeatsAcross(BackgroundPlacement placement) {
    return placement == BackgroundPlacement::Tile || placement == BackgroundPlacement::TileAcross;
}

bool RepeatsDown(BackgroundPlacement placement) {
    return placement == BackgroundPlacement::Tile || placement == BackgroundPlacement::TileDown;
}

BackgroundCssValues CssValues(const BackgroundLayout& layout) {
    BackgroundCssValues values{QStringLiteral("repeat"), QStringLiteral("0% 0%"),
                               QStringLiteral("auto"),
                               layout.fixed ? QStringLiteral("fixed") : QStringLiteral("scroll")};
    switch (layout.placement) {
    case BackgroundPlacement::Tile:
        break;
    case BackgroundPlacement::TileAcross:
        values.repeat = QStringLiteral("repeat-x");
        break;
    case BackgroundPlacement::TileDown:
        values.repeat = QStringLiteral("repeat-y");
        break;
    case BackgroundPlacement::CentreOnce:
        values.repeat = QStringLiteral("no-repeat");
        values.position = QStringLiteral("center");
        break;
    case BackgroundPlacement::Cover:
        values.repeat = QStringLiteral("no-repeat");
        values.position = QStringLiteral("center");
        values.size = QStringLiteral("cover");
        break;
    case BackgroundPlacement::Fit:
        values.repeat = QStringLiteral("no-repeat");
        values.position = QStringLiteral("center");
        values.size = QStringLiteral("contain");
        break;
    }
    values.rootFillsView = values.position == QLatin1String("center") && !layout.fixed;
    return values;
}

QString CssShorthandWords(const BackgroundLayout& layout) {
    const BackgroundCssValues values = CssValues(layout);
    QStringList words;
    if (values.size != QLatin1String("auto"))
        words << values.position << QStringLiteral("/") << values.size;
    else if (values.position != QLatin1String("0% 0%"))
        words << values.position;
    words << values.repeat;
    if (layout.fixed)
        words << values.attachment;
    return words.join(QLatin1Char(' '));
}

int StoredPlacement(BackgroundPlacement placement) {
    return int(placement);
}

BackgroundPlacement PlacementFromStored(int stored) {
    for (const BackgroundPlacement placement : AllPlacements) {
        if (int(placement) == stored)
            return placement;
    }
    return BackgroundPlacement::Tile;
}

BackgroundLayout ReadBackgroundLayout(const settings::SettingsAccess& settings) {
    return {PlacementFromStored(settings.read(settings::BackgroundPlacement)),
            settings.read(settings::BackgroundFixed)};
}

bool WriteBackgroundLayout(const settings::SettingsAccess& settings,
                           const BackgroundLayout& layout) {
    const bool placed =
        settings.write(settings::BackgroundPlacement, StoredPlacement(layout.placement));
    const bool fixed = settings.write(settings::BackgroundFixed, layout.fixed);
    return placed && fixed;
}

} // namespace zelvorin::preview
