#include "NeededLib.h"

#include "FolderSearch.h"
#include "LosslessNames.h"
#include "ShellOperations.h"
#include "Trash.h"

#include <QList>

#include <cerrno>
#include <cmath>
#include <limits>
#include <vector>

namespace zelvorin {

ConversionError::ConversionError(const QString& message)
    : std::runtime_error(message.toUtf8().toStdString()) {}

} // namespace zelvorin

namespace {

constexpr QChar Separator = u'/';

} // namespace

QString StripTrailingSlashes(const QString& path) {
    qsizetype end = path.size();
    while (end > 0 && path.at(end - 1) == Separator)
        --end;
    // The root stays the root: "///" is "/", never an empty folder name.
    if (end == 0 && !path.isEmpty())
        return QString(Separator);
    return path.left(end);
}

QString WithTrailingBackslash(const QString& path) {
    const QString stripped = StripTrailingSlashes(path);
    if (stripped == Separator)
        return stripped;
    return stripped + Separator;
}

QString ExtractDriveOrShare(const QString& path) {
    // POSIX paths have no drive letters and no share part: "C:" and "//srv" are ordinary
    // names there. Every path lives below the one root "/".
    Q_UNUSED(path);
    return {};
}

QString ExtractParentPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(Separator);
    if (slash < 0)
        return {};
    // A name directly below the root has the root as its parent ("/a" gives "/"), as a
    // Windows path's drive ("C:\a" gives "C:"): a file there is never a bare name.
    if (slash == 0)
        return QString(Separator);
    return path.left(slash);
}

QString GetParentFolder(const QString& path) {
    const QString stripped = StripTrailingSlashes(path);
    if (stripped.isEmpty() || stripped == Separator)
        return {};
    return ExtractParentPath(stripped);
}

QString ExtractNameAfterSeparator(const QString& path) {
    // Only "/" ends a folder part: "a:b.jpg" and "a\b.jpg" are whole Linux file names.
    return path.mid(path.lastIndexOf(Separator) + 1);
}

QString GetWord(const QString& text, int n) {
    if (n <= 0)
        return {};
    const qsizetype size = text.size();
    qsizetype i = 0;
    int word = 0;
    while (i < size) {
        while (i < size && text.at(i).unicode() <= 32)
            ++i;
        if (i == size)
            break;
        const qsizetype start = i;
        while (i < size && text.at(i).unicode() > 32)
            ++i;
        if (++word == n)
            return text.mid(start, i - start);
    }
    return {};
}

int FindTextFrom(int start, const QString& separator, const QString& source) {
    if (source.isEmpty() || separator.isEmpty())
        return 0;
    const qsizetype from = start <= 0 ? 0 : qsizetype(start) - 1;
    if (from >= source.size())
        return 0;
    const qsizetype found = source.indexOf(separator, from);
    return found < 0 ? 0 : int(found + 1);
}

int HexToInt(const QString& text) {
    if (text.isEmpty())
        throw zelvorin::ConversionError(
            QStringLiteral("'%1' is not a valid integer value").arg(text));
    // The value is built in 32 bits and wraps, as the stored colour values expect.
    quint32 value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        quint32 digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            throw zelvorin::ConversionError(
                QStringLiteral("'%1' is not a valid integer value").arg(text));
        value = value * 16u + digit;
    }
    return static_cast<int>(value);
}

int RoundHalfUp(double value) {
    // Out-of-range and NaN inputs are clamped rather than left undefined.
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    const double truncated = std::trunc(value);
    int result = static_cast<int>(truncated);
    if (value - truncated >= 0.5)
        ++result;
    return result;
}

QString BoolToText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool HasAllFlags(quint32 value, quint32 flags) {
    return (value & flags) == flags;
}

bool CopyStringList(const QStringList* source, QStringList* destination) {
    if (source == nullptr || destination == nullptr)
        return false;
    // A plain copy rather than a round trip through line-broken text: a Linux file name
    // may hold a line break, and must not come back as two names.
    *destination = *source;
    return true;
}

bool MatchesWildcard(const QString& name, const QString& pattern) {
    // Dynamic programming over the recursive rules, from the ends of both texts: at[j]
    // answers "does name[i..] match pattern[j..]" for the current i. Time is the product
    // of the two lengths; the literal recursion is exponential on patterns of many stars.
    // Both texts are compared in full (no length cut), so "?" matches one whole character
    // and a long name never matches by a cut-off prefix. Each character is lower-cased on
    // its own: lower-casing the whole text can make one character two ("\u0130" becomes
    // "i" and a combining dot), and "?" stands for one character of the name as shown.
    const auto lowered = [](const QString& text) {
        QList<uint> points = text.toUcs4();
        for (uint& point : points)
            point = QChar::toLower(char32_t(point));
        return points;
    };
    const QList<uint> n = lowered(name);
    const QList<uint> p = lowered(pattern);
    const qsizetype nameLength = n.size();
    const qsizetype patternLength = p.size();
    const bool endsInLoneStar = patternLength > 0 && p.at(patternLength - 1) == uint('*');

    // Row for i == nameLength (the name used up): only the used-up pattern, or a pattern
    // rest of exactly "*", matches.
    std::vector<char> next(size_t(patternLength) + 1, 0);
    next[size_t(patternLength)] = 1;
    if (endsInLoneStar)
        next[size_t(patternLength - 1)] = 1;
    std::vector<char> at(size_t(patternLength) + 1, 0);
    for (qsizetype i = nameLength - 1; i >= 0; --i) {
        at[size_t(patternLength)] = 0;
        for (qsizetype j = patternLength - 1; j >= 0; --j) {
            const uint c = p.at(j);
            bool match = false;
            if (j == patternLength - 1 && c == uint('*'))
                match = true;
            else if (c == uint('*'))
                match = at[size_t(j + 1)] || next[size_t(j)];
            else if (c == uint('?') || c == n.at(i))
                match = next[size_t(j + 1)];
            at[size_t(j)] = match ? 1 : 0;
        }
        std::swap(at, next);
    }
    return next[0] != 0;
}

bool FolderExists(const QString& path) {
    const QString stripped = StripTrailingSlashes(path);
    if (stripped.isEmpty())
        return false;
    zelvorin::platform::FolderEntry entry;
    return zelvorin::platform::readFolderEntry(stripped, entry) == 0 &&
           HasAllFlags(entry.attributes, zelvorin::FileAttribute::Directory);
}

qint64 GetFileSizeByName(const QString& path) {
    constexpr quint32 AnyFile = zelvorin::FileAttribute::ReadOnly |
                                zelvorin::FileAttribute::Hidden | zelvorin::FileAttribute::System |
                                zelvorin::FileAttribute::Archive;
    zelvorin::SearchRecord record;
    const int result = FindFirstEntry(path, AnyFile, record);
    const qint64 size = result == 0 ? record.size : -1;
    FindCloseEntry(record);
    return size;
}

namespace {

bool hasWildcard(const QString& text) {
    return text.contains(u'*') || text.contains(u'?');
}

void fillRecord(const zelvorin::platform::FolderEntry& entry, zelvorin::SearchRecord& record) {
    record.name = entry.name;
    record.attributes = entry.attributes;
    record.size = entry.size;
    record.modified = entry.modified;
}

// Which attribute bits keep an entry out of a search, as the Windows search does it.
bool excludedByMask(quint32 attributes, quint32 mask) {
    const quint32 excluded =
        ~mask & (zelvorin::FileAttribute::Hidden | zelvorin::FileAttribute::System |
                 zelvorin::FileAttribute::Directory);
    return (attributes & excluded) != 0;
}

} // namespace

int FindFirstEntry(const QString& pattern, quint32 attributeMask, zelvorin::SearchRecord& record) {
    record.handle.reset();
    const qsizetype slash = pattern.lastIndexOf(u'/');
    const QString folder = slash < 0    ? QString()
                           : slash == 0 ? QStringLiteral("/")
                                        : pattern.left(slash);
    const QString wildcard = pattern.mid(slash + 1);
    if (wildcard.isEmpty())
        return ENOENT;

    // A plain name is looked up directly rather than by listing its whole folder: the
    // gallery asks for the size of every image of folders that may hold 100,000 files.
    if (!hasWildcard(wildcard)) {
        zelvorin::platform::FolderEntry entry;
        if (const int error = zelvorin::platform::readFolderEntry(pattern, entry); error != 0)
            return error;
        if (excludedByMask(entry.attributes, attributeMask))
            return ENOENT;
        fillRecord(entry, record);
        return 0;
    }

    // "*" and "*.*" list every name, dotless ones included, as the Windows search does.
    zelvorin::platform::FolderSearch::NameFilter filter;
    if (wildcard != QLatin1String("*") && wildcard != QLatin1String("*.*"))
        filter = [wildcard](const QString& name) { return MatchesWildcard(name, wildcard); };
    int error = 0;
    std::shared_ptr<zelvorin::platform::FolderSearch> search =
        zelvorin::platform::FolderSearch::open(folder, std::move(filter), attributeMask, &error);
    if (!search)
        return error != 0 ? error : ENOENT;
    zelvorin::platform::FolderEntry entry;
    if (const int result = search->next(entry); result != 0)
        return result;
    fillRecord(entry, record);
    record.handle = std::move(search);
    return 0;
}

int FindNextEntry(zelvorin::SearchRecord& record) {
    // A plain-name search found its one entry at the start and holds no listing.
    if (!record.handle)
        return ENOENT;
    zelvorin::platform::FolderEntry entry;
    if (const int result = record.handle->next(entry); result != 0)
        return result;
    fillRecord(entry, record);
    return 0;
}

void FindCloseEntry(zelvorin::SearchRecord& record) {
    record.handle.reset();
}

using zelvorin::platform::FileResult;

namespace {

// The title of every question the program asks (the product title).
const QString QuestionTitle = QStringLiteral(" Zelvorin");

FileResult transfer(bool move, const QByteArray& source, const QByteArray& destination,
                    bool confirm, bool showProgress, QWidget* owner) {
    // A path without a parent part (a bare name) is refused, as ExtractParentPath says.
    if (source.lastIndexOf('/') <= 0 || destination.lastIndexOf('/') <= 0)
        return FileResult::failure(EINVAL);
    zelvorin::platform::TransferOptions options;
    options.confirmReplace = confirm;
    options.showProgress = showProgress;
    options.owner = owner;
    options.title = QuestionTitle;
    return move ? zelvorin::platform::moveFile(source, destination, options)
                : zelvorin::platform::copyFile(source, destination, options);
}

} // namespace

bool OpenWithShell(const QString& path) {
    return OpenWithShell(zelvorin::platform::encodePath(path)).ok();
}

bool DeleteToRecycleBin(const QString& path, bool confirm) {
    QList<QByteArray> paths;
    for (const QString& one : path.split(QChar(0), Qt::SkipEmptyParts))
        paths.append(zelvorin::platform::encodePath(one));
    return DeleteToRecycleBin(paths, confirm, nullptr).ok();
}

bool CopyFileWithShell(const QString& source, const QString& destination, bool confirm,
                       bool showProgress, QWidget* owner) {
    return CopyFileWithShell(zelvorin::platform::encodePath(source),
                             zelvorin::platform::encodePath(destination), confirm, showProgress,
                             owner)
        .ok();
}

bool MoveFileWithShell(const QString& source, const QString& destination, bool confirm,
                       bool showProgress, QWidget* owner) {
    return MoveFileWithShell(zelvorin::platform::encodePath(source),
                             zelvorin::platform::encodePath(destination), confirm, showProgress,
                             owner)
        .ok();
}

FileResult OpenWithShell(const QByteArray& path) {
    return zelvorin::platform::openWithDesktop(path);
}

FileResult DeleteToRecycleBin(const QList<QByteArray>& paths, bool confirm, QWidget* owner) {
    return zelvorin::platform::moveToTrash(paths, confirm, owner, QuestionTitle);
}

FileResult CopyFileWithShell(const QByteArray& source, const QByteArray& destination, bool confirm,
                             bool showProgress, QWidget* owner) {
    return transfer(false, source, destination, confirm, showProgress, owner);
}

FileResult MoveFileWithShell(const QByteArray& source, const QByteArray& destination, bool confirm,
                             bool showProgress, QWidget* owner) {
    return transfer(true, source, destination, confirm, showProgress, owner);
}
