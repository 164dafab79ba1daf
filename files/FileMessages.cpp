#include "FileMessages.h"

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

} // namespace zelvorin
