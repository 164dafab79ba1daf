// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The source "Copy &HTML source" gives: the top document with the program's changes taken
// back (see FrameLibrary.js, which records them). The page is never touched. An HTML
// document is written out as the engine writes it, except for the elements the program
// changed and those on the way to them (the root and the BODY, as a rule): each of these
// is written from a childless copy with the changes taken back, around its children, so a
// large page costs little more than its plain markup. Other documents (XHTML, SVG) are
// copied whole and the changes taken back in the copy. The BODY keeps the attributes
// through which the page itself says what the user chose ("background", "bgcolor",
// "scroll").
//
// Evaluates to a function of the frame library, run by Call.js; it gives the markup.
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
})
