// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// `window.status` for pages, in the page's own world: what a page writes there is kept, as
// for any property, and reported to the program (README.md) for the status bar. A page
// can write the same report itself; it says nothing more than the text it could set.
// Evaluates to a function of the report's mark.
(function (mark) {
  'use strict';
  var text = '';
  try {
    Object.defineProperty(window, 'status', {
      configurable: true,
      get: function () { return text; },
      set: function (value) {
        text = String(value);
        console.log(mark + ' ' + JSON.stringify({report: 'status', text: text}));
      }
    });
  } catch (e) {
    // A page that made the property its own first keeps it.
  }
})
