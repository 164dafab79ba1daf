// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Local image files reach web pages only under addresses handed out here, one per file the
// user chose: "zelvorin-file://<token>/<name>" for pages of the web and
// "zelvorin-local://<token>/<name>" for pages opened from local files (the engine lets
// file pages load only schemes marked local, and web pages only schemes that are not).
// Tokens are 128 random bits, so a page can neither guess the address of a file it was
// not given nor probe whether some path exists. Paths are path texts (see
// platform/LosslessNames.h), and the name in an address is the name's bytes %XX-escaped,
// so a file whose name is not UTF-8 is served as itself.
//
// The images and media a local page shows reach it under addresses of this table too
// (the request guard sends the page's own requests on to them), each under a token of its
// own: they then come from another origin than the page, which keeps media from being
// read back, and an image is served as a picture no canvas can read (DisplayOnlyImage).
// These are kept apart from the files the user chose: they are never the program's.
#pragma once

#include <QHash>
#include <QString>
#include <QUrl>
#include <optional>

namespace zelvorin {

inline constexpr char RemoteImageScheme[] = "zelvorin-file";
inline constexpr char LocalImageScheme[] = "zelvorin-local";

class LocalImageUrls {
public:
    struct Grant {
        QUrl remote;
        QUrl local;
    };

    // The addresses of a file; the same file keeps its addresses for the whole run.
    Grant grant(const QString& path);
    // The file behind an address handed out before; nothing for any other address.
    std::optional<QString> pathFor(const QUrl& url) const;
    // The file behind a token handed out before, with its addresses.
    struct File {
        QString path;
        Grant urls;
    };
    std::optional<File> fileForToken(const QString& token) const;
    // The files the user chose so far.
    qsizetype size() const { return m_chosen.files.size(); }

    // What a local page shows: an image (served so that no canvas reads it) or media.
    enum class Shown { Image, Media };
    // The address under which a local page gets a file it shows; the same for the whole run.
    QUrl shownAddress(const QString& path, Shown kind);
    struct ShownFile {
        QString path;
        Shown kind;
    };
    // The file behind an address of shownAddress; nothing for any other address.
    std::optional<ShownFile> shownFileFor(const QUrl& url) const;

private:
    struct Entry {
        QString path;
        QByteArray name; // raw bytes
        Shown kind = Shown::Image;
    };
    struct Table {
        QHash<QString, Entry> files;    // token -> file
        QHash<QString, QString> tokens; // kind and absolute path -> token
        // The file's token and its entry, made on first use.
        std::pair<QString, Entry> entry(const QString& path, Shown kind);
        const Entry* find(const QUrl& url) const;
    };
    Table m_chosen;
    Table m_shown;
};

} // namespace zelvorin
