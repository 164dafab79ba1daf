#include "FileMessages.h"

#include <algorithm>

#include "ProgramValues.h"

#include <QMessageBox>

namespace zelvorin {

namespace {

FileMessageHandler& handler() {
    static FileMessageHandler current;
    return current;
}

} // namespace

void showFileError(QWidget* parent, const QString& text) {
    if (handler()) {
        handler()(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, ProductTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

FileMessageHandler setFileErrorHandler(FileMessageHandler next) {
    FileMessageHandler previous = std::move(handler());
    handler() = std::move(next);
    return previous;
}

QString readingFolderText(qint64 entriesRead) {
    return QStringLiteral("Reading folder... %1").arg(entriesRead);
}

int readingFolderGauge(qint64 entriesRead, qint64 estimatedEntries) {
    // The count of all is a guess from the folder's size: the gauge never claims the end
    // before the read has reached it.
    if (estimatedEntries <= 0)
        return 0;
    return int(std::min<qint64>(99, entriesRead * 100 / estimatedEntries));
}

} // namespace zelvorin
