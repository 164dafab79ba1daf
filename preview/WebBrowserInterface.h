// The preview: an embedded web browser (Qt WebEngine) that shows web pages and local files
// and takes the user's chosen backgrounds. This header holds the small wrapper the main
// window keeps around its browser: Back and Forward availability, pages stored in the
// program's resources, and reading elements of the shown document. The engine answers
// document questions asynchronously; the wrapper waits for each answer (without spinning)
// so that its callers read as plain sequential code.
#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <stdexcept>

class QWebEnginePage;
class QWebEngineView;

// Raised by the wrapper's creation without a browser.
class TWebBrowserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document shown in a browser at the moment it was taken.
struct THTMLDocument {
    QPointer<QWebEnginePage> page;
    bool isValid() const { return !page.isNull(); }
};

// An element found in a shown document; it refers to nothing once the document is gone.
struct THTMLElement {
    QPointer<QWebEnginePage> page;
    int handle = -1;
};

class TWebBrowserInterface {
public:
    // Raises TWebBrowserError("WebBrowserControl must be assigned!") without a browser.
    explicit TWebBrowserInterface(QWebEngineView* browser);
    static std::unique_ptr<TWebBrowserInterface> Create(QWebEngineView* browser);
    ~TWebBrowserInterface();
    TWebBrowserInterface(const TWebBrowserInterface&) = delete;
    TWebBrowserInterface& operator=(const TWebBrowserInterface&) = delete;

    QWebEngineView* Browser() const { return m_browser; }

    bool CanGoBack() const { return m_canGoBack; }
    bool CanGoForward() const { return m_canGoForward; }
    // Kept by the browser's command-state events.
    void SetCanGoBack(bool enable) { m_canGoBack = enable; }
    void SetCanGoForward(bool enable) { m_canGoForward = enable; }

    bool GoBack();
    bool GoForward();
    void ResetNavigation();

    // Stops the browser; shows the program's HTML resource of that name (a file
    // ":/pages/<name>.html" of the Qt resources) and returns true, or returns false when
    // there is none.
    bool ShowResourcePage(const QString& name);
    static QString ResourcePagePath(const QString& name);

    THTMLDocument Document() const;
    // With a name: the index-th element whose name or identifier is that name; without:
    // the element at that position of all elements. A negative index counts as 0.
    std::optional<THTMLElement> FindElement(const THTMLDocument& document, const QString& name,
                                            int index);
    // The attribute's value; a null QVariant on any failure.
    QVariant GetElementAttribute(const THTMLElement& element, const QString& attributeName);

private:
    QString scriptKey() const;

    QPointer<QWebEngineView> m_browser;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
};
