// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WebCopyDialog.h"

#include "FileStamp.h"
#include "ImageDecoder.h"
#include "ImageWeight.h"
#include "LosslessNames.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvorin {

namespace {

QString nameOf(const QByteArray& path) {
    return platform::displayName(path.mid(path.lastIndexOf('/') + 1));
}

// Runs `work` on a worker thread and hands its result to `deliver` on the UI thread while
// `receiver` lives. The work may outlast the dialog: nothing waits for it.
template <typename Work, typename Deliver>
void inBackground(QObject* receiver, Work work, Deliver deliver) {
    QPointer<QObject> alive(receiver);
    QThreadPool::globalInstance()->start([alive, work, deliver] {
        auto result = work();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [alive, deliver, result = std::move(result)] {
                if (alive)
                    deliver(result);
            },
            Qt::QueuedConnection);
    });
}

} // namespace

WebCopyDialog::WebCopyDialog(const QByteArray& rawImagePath, QWidget* parent)
    : QDialog(parent), m_imagePath(rawImagePath), m_copyPath(WebCopyPath(rawImagePath)) {
    setObjectName(QStringLiteral("WebCopyDialog"));
    setWindowTitle(tr("Save a web copy"));
    m_imageBytes = platform::fileStamp(rawImagePath).size;

    auto* intro = new QLabel(tr("Saves %1 beside %2, as a WebP image, which every browser shows.")
                                 .arg(nameOf(m_copyPath), nameOf(m_imagePath)),
                             this);
    intro->setWordWrap(true);
    m_lossless = new QCheckBox(tr("&Lossless (best for drawings and flat colours)"), this);
    m_lossless->setObjectName(QStringLiteral("LosslessCheckBox"));
    m_quality = new QSpinBox(this);
    m_quality->setObjectName(QStringLiteral("QualitySpinBox"));
    m_quality->setAccessibleName(tr("Quality"));
    m_quality->setRange(1, 99);
    m_quality->setValue(WebCopyQuality);
    m_sizes = new QLabel(this);
    m_sizes->setObjectName(QStringLiteral("SizesLabel"));
    m_sizes->setTextFormat(Qt::PlainText);
    m_sizes->setWordWrap(true);
    m_saveButton = new QPushButton(tr("&Save"), this);
    m_saveButton->setObjectName(QStringLiteral("SaveButton"));
    m_saveButton->setDefault(true);
    m_saveButton->setEnabled(false);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* form = new QFormLayout;
    form->addRow(tr("&Quality (for photographs and textures):"), m_quality);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_lossless);
    layout->addLayout(form);
    layout->addWidget(m_sizes);
    layout->addLayout(buttons);
    m_lossless->setEnabled(false);
    m_quality->setEnabled(false);

    // A quality typed or scrolled through is encoded once it settles.
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(150);
    connect(m_settle, &QTimer::timeout, this, &WebCopyDialog::encode);
    connect(m_lossless, &QCheckBox::toggled, this, &WebCopyDialog::settingsChanged);
    connect(m_quality, &QSpinBox::valueChanged, this, &WebCopyDialog::settingsChanged);
    connect(m_saveButton, &QPushButton::clicked, this, &WebCopyDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    if (m_copyPath == m_imagePath) {
        // Its copy would take its own name: saving it would replace the image itself.
        m_readable = false;
        tell(tr("%1 is a WebP image already").arg(nameOf(m_imagePath)));
        QMetaObject::invokeMethod(this, &WebCopyDialog::copyMade, Qt::QueuedConnection);
        return;
    }
    tell(tr("Reading %1 ...").arg(nameOf(m_imagePath)));
    const QByteArray path = m_imagePath;
    inBackground(
        this, [path] { return DecodeImageFile(path); },
        [this](const DecodedImage& image) { decoded(image); });
}

WebCopyDialog::~WebCopyDialog() {
    // An encoding not started yet is not started at all.
    *m_latest = ~quint64(0);
}

WebCopySettings WebCopyDialog::settings() const {
    return {m_lossless->isChecked(), m_quality->value()};
}

void WebCopyDialog::setSettings(const WebCopySettings& settings) {
    m_lossless->setChecked(settings.lossless);
    m_quality->setValue(settings.quality);
}

QString WebCopyDialog::sizesText() const {
    return m_sizes->text();
}

bool WebCopyDialog::ready() const {
    return m_saveButton->isEnabled();
}

void WebCopyDialog::tell(const QString& text) {
    m_sizes->setText(text);
}

void WebCopyDialog::decoded(const DecodedImage& image) {
    if (!image.ok()) {
        m_readable = false;
        tell(tr("The image cannot be read (%1)").arg(image.error));
        emit copyMade();
        return;
    }
    m_image = image.image;
    {
        const QSignalBlocker lossless(m_lossless);
        const QSignalBlocker quality(m_quality);
        setSettings(SuggestedWebCopy(m_image, image.format));
    }
    m_lossless->setEnabled(true);
    m_quality->setEnabled(!m_lossless->isChecked());
    encode();
}

void WebCopyDialog::settingsChanged() {
    m_quality->setEnabled(!m_lossless->isChecked());
    if (!m_readable || m_image.isNull())
        return;
    // What was made, or is being made, is for other settings now.
    *m_latest = ++m_request;
    m_saveButton->setEnabled(false);
    m_settle->start();
}

void WebCopyDialog::encode() {
    const quint64 request = ++m_request;
    *m_latest = request;
    m_saveButton->setEnabled(false);
    tell(QStringLiteral("%1 %2 \u2192 %3 ...")
             .arg(nameOf(m_imagePath), ByteSizeText(m_imageBytes), nameOf(m_copyPath)));
    const QImage image = m_image;
    const WebCopySettings wanted = settings();
    const std::shared_ptr<std::atomic<quint64>> latest = m_latest;
    inBackground(
        this,
        [image, wanted, latest, request] {
            // Settings changed again before this one started: its copy is of no use.
            return *latest == request ? EncodeWebCopy(image, wanted) : QByteArray();
        },
        [this, request](const QByteArray& bytes) {
            encoded(request, bytes,
                    tr("No WebP copy can be made: Qt's image format plugins cannot write WebP"));
        });
}

void WebCopyDialog::encoded(quint64 request, const QByteArray& bytes, const QString& error) {
    if (request != m_request)
        return;
    m_copy = bytes;
    m_copyFor = request;
    tell(bytes.isEmpty()
             ? error
             : WebCopySizesText(m_imagePath, m_imageBytes, m_copyPath, qint64(bytes.size())));
    m_saveButton->setEnabled(!bytes.isEmpty());
    emit copyMade();
}

void WebCopyDialog::save() {
    if (!ready() || m_copyFor != m_request)
        return;
    platform::TransferOptions options;
    options.owner = this;
    options.title = windowTitle();
    options.ask = m_ask;
    const platform::FileResult result = platform::writeNewFile(m_copyPath, m_copy, options);
    if (result.ok()) {
        emit saved(WebCopySizesText(m_imagePath, m_imageBytes, m_copyPath, m_copy.size()));
        accept();
    } else if (result.failed()) {
        tell(tr("Cannot save %1: %2").arg(nameOf(m_copyPath), result.reason));
    }
}

} // namespace zelvorin
