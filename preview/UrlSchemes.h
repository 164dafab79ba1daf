// The program's own URL schemes: "zelvorin" for command addresses (never loaded, every
// request refused, so that navigations to it reach the page's navigation check instead of
// being blocked by the engine) and the two schemes under which chosen local images are
// served to pages.
#pragma once

#include <QWebEngineUrlSchemeHandler>

namespace zelvorin {

class LocalImageUrls;

inline constexpr char CommandScheme[] = "zelvorin";

// Registers the schemes with the engine; must run before the QApplication exists.
void RegisterUrlSchemes();

class CommandSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

// Serves the files handed out by `LocalImageUrls`, and nothing else.
class LocalImageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    LocalImageSchemeHandler(const LocalImageUrls* urls, QObject* parent);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    const LocalImageUrls* m_urls = nullptr;
};

} // namespace zelvorin
