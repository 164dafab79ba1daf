// The modal About window: the product name as a large shadowed title, the version, the
// web site and contacts links, two small pictures and three decorative diagonal lines.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <functional>

#include "UsefulLabel.h"

class QLabel;
class QPushButton;
class TLine;

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    using FontFamiliesProvider = std::function<QStringList()>;

    static constexpr const char* WebSiteAddress = "https://zelvorin.example.org/";
    static constexpr const char* ContactsTopic = "Contacts_link";

    // `webEngineVersion`, the engine's Chromium version, is shown in small print under the
    // version; empty hides the line.
    explicit TAboutForm(const QString& webEngineVersion = {}, QWidget* parent = nullptr);

    void setWebEngineVersion(const QString& version);
    // The family the title is drawn in: "Verdana" when installed, otherwise "Arial".
    static QString titleFontFamily(const QStringList& installedFamilies);
    // Replaces the list of installed screen fonts consulted on every show (tests).
    void setFontFamiliesProvider(FontFamiliesProvider provider);
    // Replaces how the web site link is opened (tests).
    void setLinkOpener(TUsefulLabel::LinkOpener opener);

    TUsefulLabel* webSiteLink() const { return m_usefulLabel1; }
    TUsefulLabel* contactsLink() const { return m_usefulLabel5; }
    QLabel* titleLabel() const { return m_titleLabel1; }
    QLabel* titleShadowLabel() const { return m_titleLabel1Shadow; }
    QPushButton* okButton() const { return m_okButton; }

    // The two pictures, drawn by the program itself.
    static QPixmap tilesPicture();
    static QPixmap brushPicture();

signals:
    // The user asked for a topic of the help pages (the contacts link).
    void helpTopicRequested(const QString& topic);

public slots:
    void UsefulLabel5Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createDecorations();
    void createLinks();
    void createTitle();
    void applyTitleFont(const QString& family);

    QLabel* m_label6 = nullptr;
    QLabel* m_webEngineLabel = nullptr;
    TLine* m_line3 = nullptr;
    TLine* m_line4 = nullptr;
    TLine* m_line2 = nullptr;
    TUsefulLabel* m_usefulLabel1 = nullptr;
    TUsefulLabel* m_usefulLabel5 = nullptr;
    QLabel* m_titleLabel1Shadow = nullptr;
    QLabel* m_titleLabel1 = nullptr;
    QPushButton* m_okButton = nullptr;
    FontFamiliesProvider m_fontFamilies;
};
