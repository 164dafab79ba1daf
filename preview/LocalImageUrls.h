// Local image files reach web pages only under addresses handed out here, one per file the
// user chose: "zelvorin-file://<token>/<name>" for pages of the web and
// "zelvorin-local://<token>/<name>" for pages opened from local files (the engine lets
// file pages load only schemes marked local, and web pages only schemes that are not).
// Tokens are 128 random bits, so a page can neither guess the address of a file it was
// not given nor probe whether some path exists. Paths are path texts (see
// platform/LosslessNames.h), and the name in an address is the name's bytes %XX-escaped,
// so a file whose name is not UTF-8 is served as itself.
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
    qsizetype size() const { return m_paths.size(); }

private:
    struct Entry {
        QString path;
        QByteArray name; // raw bytes
    };
    QHash<QString, Entry> m_paths;    // token -> file
    QHash<QString, QString> m_tokens; // absolute path -> token
};

} // namespace zelvorin
