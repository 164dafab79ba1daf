#include "FileProperties.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QStringList>
#include <QUrl>

#include <sys/stat.h>

namespace zelvorin::platform {

namespace {

const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString FileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");
// A file manager that is started by the request itself may take a moment; one that does
// not answer within this time counts as absent, so the program's own window shows.
constexpr int FileManagerTimeoutMs = 4000;

ItemPropertiesHandler& handlerSlot() {
    static ItemPropertiesHandler handler;
    return handler;
}

bool askFileManager(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusConnectionInterface* names = bus.interface();
    if (names == nullptr)
        return false;
    if (!names->isServiceRegistered(FileManagerService).value() &&
        !names->activatableServiceNames().value().contains(FileManagerService))
        return false;
    QDBusMessage request =
        QDBusMessage::createMethodCall(FileManagerService, FileManagerPath, FileManagerService,
                                       QStringLiteral("ShowItemProperties"));
    request << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = bus.call(request, QDBus::Block, FileManagerTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

bool onSameFileSystem(const QString& first, const QString& second) {
    struct stat a {};
    struct stat b {};
    if (::stat(QFile::encodeName(first).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(second).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev;
}

bool showItemPropertiesInFileManager(const QString& path) {
    if (path.isEmpty())
        return false;
    if (const ItemPropertiesHandler& handler = handlerSlot())
        return handler(path);
    return askFileManager(path);
}

ItemPropertiesHandler setItemPropertiesHandler(ItemPropertiesHandler handler) {
    ItemPropertiesHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}

} // namespace zelvorin::platform
