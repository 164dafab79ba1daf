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

// Runs in the program's own world with the frame library `z`. The page is never touched.
// An HTML document is written out as the engine writes it, except for the elements the
// program changed and those on the way to them (the root and the BODY, as a rule): each
// of these is written from a childless copy with the changes taken back, around its
// children, so a large page costs little more than its plain markup. Other documents
// (XHTML, SVG) are copied whole and the changes taken back in the copy.
const char* const AuthorSource = R"JS(
(function (z) {
  'use strict';
  var KEPT_ON_BODY = {background: true, bgcolor: true, scroll: true};
  var HTML_NS = 'http://www.w3.org/1999/xhtml';
  var RAW_TEXT = {style: 1, script: 1, xmp: 1, iframe: 1, noembed: 1, noframes: 1,
                  plaintext: 1, noscript: 1};
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
  function escapeText(text) {
    return text.replace(/&/g, '&amp;').replace(/\u00a0/g, '&nbsp;')
               .replace(/</g, '&lt;').replace(/>/g, '&gt;');
  }

  var body = document.body && document.body.localName === 'body' ? document.body : null;
  var changed = new Map(), onTheWay = new Set();
  function mark(node) {
    for (var n = node.parentNode; n && !onTheWay.has(n); n = n.parentNode) onTheWay.add(n);
  }
  z.changedElements().forEach(function (item) {
    if (item.element.ownerDocument !== document || !item.element.isConnected) return;
    changed.set(item.element, item.change);
    mark(item.element);
  });
  var marker = z.moreMarker();
  if (marker && marker.isConnected) mark(marker);
  else marker = null;

  function write(node) {
    switch (node.nodeType) {
    case Node.ELEMENT_NODE:
      return writeElement(node);
    case Node.TEXT_NODE:
      var parent = node.parentNode;
      return parent && parent.namespaceURI === HTML_NS && RAW_TEXT[parent.localName]
                 ? node.data : escapeText(node.data);
    case Node.COMMENT_NODE:
      return node === marker ? '' : '<!--' + node.data + '-->';
    case Node.DOCUMENT_TYPE_NODE:
      return doctypeText(node);
    case Node.PROCESSING_INSTRUCTION_NODE:
      return '<?' + node.target + ' ' + node.data + '>';
    default:
      return '';
    }
  }
  function writeElement(element) {
    var change = changed.get(element);
    if (!change && !onTheWay.has(element)) return element.outerHTML;
    var shallow = element.cloneNode(false);
    if (change) takeBack(shallow, change, element === body);
    var whole = shallow.outerHTML;
    var close = '</' + element.localName + '>';
    if (whole.slice(-close.length) !== close) return whole;
    var text = whole.slice(0, -close.length);
    if (!onTheWay.has(element)) return text + element.innerHTML + close;
    for (var child = element.firstChild; child; child = child.nextSibling) text += write(child);
    return text + close;
  }
  if (document.contentType === 'text/html') {
    var text = '';
    for (var node = document.firstChild; node; node = node.nextSibling) text += write(node);
    return text;
  }

  var copy = document.cloneNode(true);
  function pathOf(node) {
    var path = [];
    for (; node.parentNode; node = node.parentNode)
      path.unshift(Array.prototype.indexOf.call(node.parentNode.childNodes, node));
    return path;
  }
  function follow(node, path) {
    for (var i = 0; node && i < path.length; i++) node = node.childNodes[path[i]];
    return node || null;
  }
  var targets = [];
  changed.forEach(function (change, element) {
    targets.push({node: follow(copy, pathOf(element)), change: change, onBody: element === body});
  });
  var markerCopy = marker && follow(copy, pathOf(marker));
  targets.forEach(function (t) { if (t.node) takeBack(t.node, t.change, t.onBody); });
  if (markerCopy) markerCopy.parentNode.removeChild(markerCopy);
  var xml = new XMLSerializer(), whole = '';
  for (var n = copy.firstChild; n; n = n.nextSibling) whole += xml.serializeToString(n);
  return whole;
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
                addresses.insert(token, ImageAddress(platform::encodePath(file->path), pageUrl));
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
