// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CommandUrl.h"

#include <array>
#include <limits>
#include <optional>
#include <utility>

namespace zelvorin::preview {

namespace {

const QString Prefix = QStringLiteral("zelvorin://");

// In the order they are compared.
const std::array<std::pair<CommandWord, QString>, 7> Words = {{
    {CommandWord::ShowHelpManual, QStringLiteral("showhelpmanual")},
    {CommandWord::Contacts, QStringLiteral("contacts")},
    {CommandWord::ViewCleanBackgrounds, QStringLiteral("viewcleanbackgrounds")},
    {CommandWord::ViewLocalHtmlFiles, QStringLiteral("viewlocalhtmlfiles")},
    {CommandWord::SetBackgroundsFilter, QStringLiteral("setbackgroundsfilter")},
    {CommandWord::ImgList, QStringLiteral("imglist")},
    {CommandWord::SwitchWelcomePageView, QStringLiteral("switchwelcomepageview")},
}};

// Both kinds of slash: a browser may add "/" and a typed address may end in "\".
QString withoutTrailingSlashes(const QString& word) {
    qsizetype end = word.size();
    while (end > 0 && (word.at(end - 1) == u'/' || word.at(end - 1) == u'\\'))
        --end;
    return word.left(end);
}

// A whole signed decimal integer: an optional sign and at least one digit, nothing else,
// within the range of int.
std::optional<int> signedInteger(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

} // namespace

CommandUrl ParseCommandUrl(const QString& url) {
    CommandUrl command;
    QString text = url.toLower();
    // The prefix's length is taken from the start, wherever the prefix stood.
    if (text.contains(Prefix))
        text.remove(0, Prefix.size());
    const qsizetype slash = text.indexOf(u'/');
    const QString word = withoutTrailingSlashes(slash < 0 ? text : text.left(slash + 1));
    const QString arguments = slash < 0 ? QString() : text.mid(slash + 1);

    for (const auto& [value, name] : Words) {
        if (word != name)
            continue;
        command.word = value;
        command.argumentsValid = true;
        break;
    }
    if (command.word != CommandWord::ImgList)
        return command;

    const qsizetype comma = arguments.indexOf(u',');
    const std::optional<int> first =
        comma < 0 ? std::nullopt : signedInteger(QStringView(arguments).left(comma));
    const std::optional<int> perPage =
        comma < 0 ? std::nullopt : signedInteger(QStringView(arguments).mid(comma + 1));
    command.argumentsValid = first && perPage;
    if (command.argumentsValid) {
        command.first = *first;
        command.perPage = *perPage;
    }
    return command;
}

QString CommandWordText(CommandWord word) {
    for (const auto& [value, name] : Words) {
        if (value == word)
            return name;
    }
    return {};
}

} // namespace zelvorin::preview
