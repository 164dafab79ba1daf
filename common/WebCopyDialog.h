// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Save a web copy": the chosen image as a WebP beside it. The dialog suggests how (lossless
// for drawings and flat colours, quality 90 otherwise), lets the user change both, and
// tells what each choice weighs ("paper.png 412 KB -> paper.webp 61 KB") before anything
// is written. Decoding and encoding run on worker threads: a lossless copy of a large
// drawing takes seconds, and neither the window nor closing the dialog waits for it.
// Saving never replaces a file without asking, and a WebP is never copied over itself.
#pragma once

#include "ShellOperations.h"
#include "WebCopy.h"

#include <QDialog>

#include <atomic>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace zelvorin {

struct DecodedImage;

class WebCopyDialog : public QDialog {
    Q_OBJECT
public:
    // `rawImagePath`: the image to copy, by its name's bytes.
    explicit WebCopyDialog(const QByteArray& rawImagePath, QWidget* parent = nullptr);
    ~WebCopyDialog() override;

    QByteArray copyPath() const { return m_copyPath; }
    WebCopySettings settings() const;
    void setSettings(const WebCopySettings& settings);
    // What the dialog tells: the two sizes, or why there is no copy.
    QString sizesText() const;
    // Whether the copy of the settings shown is made and may be saved.
    bool ready() const;
    // Saves the copy made (the Save button).
    void save();

    // Tests: answers the question whether to replace a file in place of the user.
    void setReplaceQuestion(platform::AskFunction ask) { m_ask = std::move(ask); }

signals:
    // The copy of the settings shown is made, or cannot be.
    void copyMade();
    // The copy was written; `sizes` is the text the dialog told.
    void saved(const QString& sizes);

private:
    void decoded(const DecodedImage& image);
    void settingsChanged();
    void encode();
    void encoded(quint64 request, const QByteArray& bytes, const QString& error);
    void tell(const QString& text);

    QByteArray m_imagePath;
    QByteArray m_copyPath;
    qint64 m_imageBytes = -1;
    QImage m_image;
    bool m_readable = true;
    QByteArray m_copy;     // the copy of m_copyFor
    quint64 m_copyFor = 0; // the request it answers
    quint64 m_request = 0; // the newest request
    // Shared with the workers, which skip an encoding asked for before the newest.
    std::shared_ptr<std::atomic<quint64>> m_latest = std::make_shared<std::atomic<quint64>>(0);
    platform::AskFunction m_ask;

    QCheckBox* m_lossless = nullptr;
    QSpinBox* m_quality = nullptr;
    QLabel* m_sizes = nullptr;
    QPushButton* m_saveButton = nullptr;
    QTimer* m_settle = nullptr;
};

} // namespace zelvorin
