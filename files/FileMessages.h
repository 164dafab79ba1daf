// The file column's own messages: boxes titled with the product title and an error
// icon. Tests (and a host that shows messages elsewhere) replace the handler.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zelvorin {

using FileMessageHandler = std::function<void(QWidget* parent, const QString& text)>;

// Shows an error message with the product title (" Zelvorin") and an error icon.
void showFileError(QWidget* parent, const QString& text);
// Replaces the handler (null restores the message box); returns the previous one.
FileMessageHandler setFileErrorHandler(FileMessageHandler handler);

// The status bar's note while a large folder is read: "Reading folder... N" with the
// entries read so far, and the gauge's position (0 to 99) from a rough count of all.
QString readingFolderText(qint64 entriesRead);
int readingFolderGauge(qint64 entriesRead, qint64 estimatedEntries);

} // namespace zelvorin
