// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the program's scripts report back from a page: console messages of the form
// scripts/README.md describes, "<mark> <JSON object>". The program's own world marks its
// reports with the run's script key, which pages never see; the status hook, which runs
// in the page's own world where a page can write anything, marks its one kind of report
// with a mark pages know. Any other console message is the page's.
#pragma once

#include <QString>

#include <optional>

namespace zelvorin {

struct PageReport {
    enum class Kind {
        Applied, // a change reached every frame: `id`
        Command, // the user activated a command link in a claimed document: `nonce`, `address`
        More,    // a claimed long page wants more items: `nonce`
        Status,  // the page wrote `window.status`: `text`
    };
    Kind kind = Kind::Status;
    int id = 0;
    QString nonce;
    QString address;
    QString text;
};

struct ReadReport {
    // Whether the message is one of the program's reports (well formed or not), which
    // the page's console does not show.
    bool program = false;
    std::optional<PageReport> report;
};

// The report a console message carries; `key` is the run's script key. A report marked
// with the status mark is only ever a status text.
ReadReport ReadPageReport(const QString& message, const QString& key);

} // namespace zelvorin
