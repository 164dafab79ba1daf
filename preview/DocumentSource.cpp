#include "DocumentSource.h"

#include "BackgroundCss.h"
#include "FrameScripts.h"
#include "LocalImageUrls.h"
#include "LosslessNames.h"
#include "ScriptWait.h"

#include <QHash>
#include <QStringView>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace zelvorin {

namespace {

// Runs in the program's own world with the frame library `z`. The page is never touched:
// the changes are taken back on a copy of the document. An element the program changed
// is found in the copy by its position among its parent's children, level by level.
const char* const AuthorSource = R"JS(
(function (z) {
  'use strict';
  var KEPT_ON_BODY = {background: true, bgcolor: true, scroll: true};
  function pathOf(node) {
    var path = [];
    for (; node.parentNode; node = node.parentNode)
      path.unshift(Array.prototype.indexOf.call(node.parentNode.childNodes, node));
    return node === document ? path : null;
  }
  function follow(node, path) {
    for (var i = 0; node && i < path.length; i++) node = node.childNodes[path[i]];
    return node || null;
  }
  function takeBackStyle(copy, style) {
    if (copy.getAttribute('style') === style.after) {
      if (style.before === null) copy.removeAttribute('style');
      else copy.setAttribute('style', style.before);
      return;
    }
    // The page changed the style since: only declarations still as the program left them
    // are taken back.
    for (var property in style.props) {
      var p = style.props[property];
      if (copy.style.getPropertyValue(property) !== p.set) continue;
      if (p.value === '') copy.style.removeProperty(property);
      else copy.style.setProperty(property, p.value, p.priority);
    }
    if (style.before === null && copy.style.length === 0) copy.removeAttribute('style');
  }
  function takeBack(copy, change, onBody) {
    for (var name in change.attrs) {
      var a = change.attrs[name];
      if ((onBody && KEPT_ON_BODY[name]) || copy.getAttribute(name) !== a.after) continue;
      if (a.before === null) copy.removeAttribute(name);
      else copy.setAttribute(name, a.before);
    }
    if (change.style) takeBackStyle(copy, change.style);
  }
  function doctypeText(node) {
    var text = '<!DOCTYPE ' + node.name;
    if (node.publicId) text += ' PUBLIC "' + node.publicId + '"';
    else if (node.systemId) text += ' SYSTEM';
    if (node.systemId) text += ' "' + node.systemId + '"';
    return text + '>';
  }
  function serialize(doc) {
    var text = '';
    for (var node = doc.firstChild; node; node = node.nextSibling) {
      if (node.nodeType === Node.ELEMENT_NODE) text += node.outerHTML;
      else if (node.nodeType === Node.COMMENT_NODE) text += '<!--' + node.data + '-->';
      else if (node.nodeType === Node.DOCUMENT_TYPE_NODE) text += doctypeText(node);
      else if (node.nodeType === Node.PROCESSING_INSTRUCTION_NODE)
        text += '<?' + node.target + ' ' + node.data + '?>';
    }
    return text;
  }

  var body = document.body && document.body.tagName === 'BODY' ? document.body : null;
  var found = [];
  z.changedElements().forEach(function (item) {
    var path = item.element.isConnected ? pathOf(item.element) : null;
    if (path) found.push({path: path, change: item.change, onBody: item.element === body});
  });
  var marker = z.moreMarker();
  var markerPath = marker && marker.isConnected ? pathOf(marker) : null;
  var copy = document.cloneNode(true);
  found.forEach(function (item) {
    var target = follow(copy, item.path);
    if (target) takeBack(target, item.change, item.onBody);
  });
  var markerCopy = markerPath && follow(copy, markerPath);
  if (markerCopy) markerCopy.parentNode.removeChild(markerCopy);
  return serialize(copy);
})(window.__zelvorin)
)JS";

constexpr int TokenLength = 32;

QString markupSpelling(const QString& url) {
    QString text = url;
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
}

} // namespace

namespace preview {

QString WithRealImageAddresses(const QString& source, const QUrl& pageUrl,
                               const LocalImageUrls& images) {
    static const QString remotePrefix =
        QString::fromLatin1(RemoteImageScheme) + QStringLiteral("://");
    static const QString localPrefix =
        QString::fromLatin1(LocalImageScheme) + QStringLiteral("://");
    static const QString common = QStringLiteral("zelvorin-");
    QHash<QString, QString> addresses; // token -> real address
    QString out;
    qsizetype copied = 0;
    for (qsizetype at = source.indexOf(common); at >= 0; at = source.indexOf(common, at + 1)) {
        const QStringView rest = QStringView(source).sliced(at);
        const bool remote = rest.startsWith(remotePrefix);
        if (!remote && !rest.startsWith(localPrefix))
            continue;
        const qsizetype prefixLength = remote ? remotePrefix.size() : localPrefix.size();
        const QString token = rest.mid(prefixLength, TokenLength).toString();
        const std::optional<LocalImageUrls::File> file = images.fileForToken(token);
        if (!file)
            continue;
        const QString url =
            (remote ? file->urls.remote : file->urls.local).toString(QUrl::FullyEncoded);
        qsizetype length = 0;
        for (const QString& spelling : {url, markupSpelling(url)}) {
            if (rest.startsWith(spelling)) {
                length = spelling.size();
                break;
            }
        }
        if (length == 0)
            continue;
        auto address = addresses.find(token);
        if (address == addresses.end())
            address =
                addresses.insert(token, ImageAddress(platform::originalPath(file->path), pageUrl));
        out += QStringView(source).sliced(copied, at - copied);
        out += *address;
        copied = at + length;
        at = copied - 1;
    }
    if (copied == 0)
        return source;
    out += QStringView(source).sliced(copied);
    return out;
}

} // namespace preview

QString AuthorSourceScript(const QString& key) {
    // Trimmed: the call puts it after a "return", where a line break would end the statement.
    return frames::CallScript(key, QString::fromUtf8(AuthorSource).trimmed());
}

std::optional<QString> AuthorSourceAndWait(QWebEnginePage* page, const QString& key,
                                           const LocalImageUrls& images) {
    const std::optional<QVariant> markup =
        RunScriptAndWait(page, AuthorSourceScript(key), QWebEngineScript::ApplicationWorld);
    if (!markup || markup->typeId() != QMetaType::QString)
        return std::nullopt;
    return preview::WithRealImageAddresses(markup->toString(), page->url(), images);
}

} // namespace zelvorin
