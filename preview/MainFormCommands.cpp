// The program's own "zelvorin://" addresses carried out as commands of the main window.
// The navigation to such an address is always cancelled before it gets here; a command
// that cannot be carried out does nothing and shows nothing.
#include "MainUnit.h"

#include "CommandUrl.h"
#include "FilePanel.h"
#include "HelpWindow.h"
#include "Preview.h"
#include "ProgramValues.h"
#include "WebBrowserInterface.h"

#include <QWebEngineView>

using zelvorin::preview::CommandWord;

void TMainForm::ExecuteCommandUrl(const QString& url) {
    // Commands fail silently: an error raised by the file column (a folder gone from disk
    // while a mask is applied) ends the command and nothing else.
    try {
        const zelvorin::preview::CommandUrl command = zelvorin::preview::ParseCommandUrl(url);
        switch (command.word) {
        case CommandWord::ShowHelpManual:
            zelvorin::ShowHelpTopic(m_values.HelpFileName(), QStringLiteral("MainScreen_link"));
            break;
        case CommandWord::Contacts:
            zelvorin::ShowHelpTopic(m_values.HelpFileName(), QStringLiteral("Contacts_link"));
            break;
        case CommandWord::ViewCleanBackgrounds:
            OpenAddress(QStringLiteral("about:blank"));
            MainFilePanel->selectFilterByPosition(0);
            break;
        case CommandWord::ViewLocalHtmlFiles:
            MainFilePanel->selectFilterByPosition(1);
            break;
        case CommandWord::SetBackgroundsFilter:
            MainFilePanel->selectFilterByPosition(0);
            break;
        case CommandWord::ImgList:
            if (command.argumentsValid)
                ShowGalleryPage(command.first, command.perPage);
            break;
        case CommandWord::SwitchWelcomePageView: {
            TWebBrowserInterface* browser = m_preview->browserInterface();
            const auto box =
                browser->FindElement(browser->Document(), QStringLiteral("ShowPageCheckBox"), 0);
            // An unreadable check box counts as cleared.
            const QVariant checked =
                box ? browser->GetElementAttribute(*box, QStringLiteral("checked")) : QVariant();
            SetShowWelcomePage(checked.typeId() == QMetaType::Bool && checked.toBool());
            break;
        }
        case CommandWord::None:
            break;
        }
    } catch (...) {
    }
}
