// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The colour of the page's main text: the computed colour of the element holding the
// most text of its own (in the top document and the frames of its origin), else of the
// body; an empty text when there is no body. Runs in the program's world, so the page's
// scripts cannot change the answer. Evaluates to a function of no arguments.
(function () {
  var best = null, most = 0, body = null, seen = 0;
  var SKIP = {SCRIPT: 1, STYLE: 1, NOSCRIPT: 1, TEMPLATE: 1, TITLE: 1, HEAD: 1};
  function ownText(el) {
    var n = 0;
    for (var c = el.firstChild; c; c = c.nextSibling)
      if (c.nodeType === 3) n += c.data.trim().length;
    return n;
  }
  function visit(win, depth) {
    var doc;
    try { doc = win.document; } catch (e) { return; }
    if (!doc || depth > 10) return;
    var top = doc.body;
    if (top && top.tagName === 'BODY') {
      if (!body) body = top;
      var all = [top].concat(Array.prototype.slice.call(top.getElementsByTagName('*'), 0, 20000));
      for (var i = 0; i < all.length && seen < 50000; ++i, ++seen) {
        var el = all[i];
        if (SKIP[el.tagName]) continue;
        var n = ownText(el);
        if (n > most) { most = n; best = el; }
      }
    }
    var count = 0;
    try { count = Math.min(win.length, 100); } catch (e) {}
    for (var k = 0; k < count; ++k) visit(win[k], depth + 1);
  }
  visit(window, 0);
  var el = best || body;
  if (!el) return '';
  try { return el.ownerDocument.defaultView.getComputedStyle(el).color; } catch (e) { return ''; }
})
