// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The modal About window: the product name as a large shadowed title, the version, the
// web site and contacts links, two small pictures and three decorative diagonal lines.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <functional>

#include "LinkLabel.h"

class QLabel;
class QPushButton;

namespace zelvorin {

class LineFigure;

class AboutWindow : public QDialog {
    Q_OBJECT

public:
    using FontFamiliesProvider = std::function<QStringList()>;

    static constexpr const char* WebSiteAddress = "https://zelvorin.example.org/";
    static constexpr const char* ContactsTopic = "Contacts_link";

    // `webEngineVersion`, the engine's Chromium version, is shown in small print under the
    // version; empty hides the line.
    explicit AboutWindow(const QString& webEngineVersion = {}, QWidget* parent = nullptr);

    void setWebEngineVersion(const QString& version);
    // The family the title is drawn in: "Verdana" when installed, otherwise "Arial".
    static QString titleFontFamily(const QStringList& installedFamilies);
    // Replaces the list of installed screen fonts consulted on every show (tests).
    void setFontFamiliesProvider(FontFamiliesProvider provider);
    // Replaces how the web site link is opened (tests).
    void setLinkOpener(LinkLabel::LinkOpener opener);

    LinkLabel* webSiteLink() const { return m_webSiteLink; }
    LinkLabel* contactsLink() const { return m_contactsLink; }
    QLabel* titleLabel() const { return m_title; }
    QLabel* titleShadowLabel() const { return m_titleShadow; }
    QPushButton* okButton() const { return m_okButton; }

    // The two pictures, drawn by the program itself.
    static QPixmap tilesPicture();
    static QPixmap brushPicture();

signals:
    // The user asked for a topic of the help pages (the contacts link).
    void helpTopicRequested(const QString& topic);

public slots:
    void showContacts();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createDecorations();
    void createLinks();
    void createTitle();
    void applyTitleFont(const QString& family);

    QLabel* m_version = nullptr;
    QLabel* m_webEngineLabel = nullptr;
    LineFigure* m_line3 = nullptr;
    LineFigure* m_line4 = nullptr;
    LineFigure* m_line2 = nullptr;
    LinkLabel* m_webSiteLink = nullptr;
    LinkLabel* m_contactsLink = nullptr;
    QLabel* m_titleShadow = nullptr;
    QLabel* m_title = nullptr;
    QPushButton* m_okButton = nullptr;
    FontFamiliesProvider m_fontFamilies;
};

} // namespace zelvorin
