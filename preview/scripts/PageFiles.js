// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every address the shown documents load: each frame's own, the resources the engine
// fetched for it, and what its elements point at (for frames whose documents this world
// cannot enter). Runs in the program's world, so the page's scripts cannot change it.
// Evaluates to a function of no arguments, which gives the addresses as a list.
(function () {
  var found = [];
  function add(u) { if (typeof u === 'string' && u) found.push(u); }
  function walk(w, depth) {
    var d;
    try { d = w.document; add(w.location.href); } catch (e) { return; }
    if (!d || depth > 20) return;
    try {
      var entries = w.performance.getEntriesByType('resource');
      for (var i = 0; i < entries.length; ++i) add(entries[i].name);
    } catch (e) {}
    var elements = d.querySelectorAll('link[href], script[src], frame[src], iframe[src], img[src]');
    for (var j = 0; j < elements.length; ++j) add(elements[j].href || elements[j].src);
    for (var k = 0; k < w.frames.length; ++k) walk(w.frames[k], depth + 1);
  }
  walk(window, 0);
  return found;
})
