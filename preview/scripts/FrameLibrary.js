// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's library in every document the preview shows, in a world of its own that
// page scripts cannot see. It defines `window.__zelvorin` once per document: the changes
// of background and colour (to this document, the documents of its origin below it, and
// by FrameMessages.js to the frames of other origins), the reads the program makes, the
// program's own documents (claimed, written, their command links), and the record of
// what the program changed, from which the author's source is made (AuthorSource.js).
// What it reports goes to the console in the form README.md describes.
//
// Evaluates to a function of the configuration ({key, maxFrames, maxWindows}), the
// messages' maker (FrameMessages.js) and, for the program's calls in the top document, a
// task: the name of a method of the library, or a function of the library and the
// arguments (AuthorSource.js), with its arguments (a list). The library is defined when the
// document lacks it (one the engine made before the profile's scripts could run); the
// function evaluates to the task's value, or null when it fails.
(function (config, makeMessages, task, args) {
  'use strict';
  if (!window.__zelvorin) define();
  if (task === undefined) return undefined;
  try {
    var z = window.__zelvorin;
    return typeof task === 'string' ? z[task].apply(z, args) : task(z, args);
  } catch (e) {
    return null;
  }

  function define() {
    var KEY = config.key;
    var MAX_FRAMES = config.maxFrames, MAX_WINDOWS = config.maxWindows;
    var messages = makeMessages(KEY, MAX_FRAMES);
    var elements = [];
    var checkedRoots = new WeakSet();
    var imaged = new WeakSet();

    function report(fields) {
      console.log(KEY + ' ' + JSON.stringify(fields));
    }
    function bodyOf(doc) {
      var body = doc && doc.body;
      // By local name: an XHTML document names its elements in lower case.
      return body && body.localName === 'body' ? body : null;
    }
    function isTransparent(color) {
      return color === 'transparent' || /^rgba\(.*,\s*0\)$/.test(color);
    }
    function isFileDocument(doc) {
      // A local page's frames are shown under an origin of their own (zelvorin-page:).
      var protocol = doc.location.protocol;
      if (protocol === 'file:' || protocol === 'zelvorin-page:') return true;
      var origin = doc.defaultView ? String(doc.defaultView.origin) : '';
      return origin.indexOf('file:') === 0;
    }
    // What the program changed on each element: for every attribute it set, the value
    // before and after; for the inline style, the attribute's text before and after and,
    // for each property, its earlier value and the value it set. The source the user
    // copies is made from these, so the page's own markup comes back as its author wrote it.
    // Weakly held: elements of same-origin frames are changed from here too, and a frame
    // that goes away must not stay alive for this list.
    var changes = new WeakMap(), changed = [];
    function changeOf(el) {
      var change = changes.get(el);
      if (!change) {
        change = {attrs: {}, style: null};
        changes.set(el, change);
        if (changed.length >= 64) changed = changed.filter(function (ref) { return ref.deref(); });
        changed.push(new WeakRef(el));
      }
      return change;
    }
    function trackAttr(el, name, apply) {
      var attrs = changeOf(el).attrs;
      if (!(name in attrs)) attrs[name] = {before: el.getAttribute(name)};
      apply();
      attrs[name].after = el.getAttribute(name);
    }
    function setAttr(el, name, value) {
      trackAttr(el, name, function () { el.setAttribute(name, value); });
    }
    function setStyle(el, property, value, priority) {
      var change = changeOf(el);
      if (!change.style) change.style = {before: el.getAttribute('style'), props: {}};
      var props = change.style.props;
      if (!(property in props)) {
        props[property] = {value: el.style.getPropertyValue(property),
                           priority: el.style.getPropertyPriority(property)};
      }
      el.style.setProperty(property, value, priority || '');
      props[property].set = el.style.getPropertyValue(property);
      change.style.after = el.getAttribute('style');
    }
    // Puts back a property the program set, as the page had it.
    function restoreStyle(el, property) {
      var change = changes.get(el);
      var earlier = change && change.style && change.style.props[property];
      if (!earlier) return;
      if (earlier.value === '') el.style.removeProperty(property);
      else el.style.setProperty(property, earlier.value, earlier.priority);
      earlier.set = el.style.getPropertyValue(property);
      change.style.after = el.getAttribute('style');
    }
    function applyTo(doc, change) {
      try {
        var body = bodyOf(doc);
        if (change.color !== undefined) {
          if (doc.body) trackAttr(doc.body, 'bgcolor', function () { doc.bgColor = change.color; });
          else doc.bgColor = change.color;
        }
        if (!body) return;
        // A root element with a background of its own keeps the body's background from
        // covering the page; it steps back so the chosen background is what shows.
        var root = doc.documentElement;
        // Checked once per document: reading a computed style makes the engine bring the
        // document's style up to date, which costs more than the change itself.
        if (root && root !== body && !checkedRoots.has(doc)) {
          checkedRoots.add(doc);
          var rootStyle = doc.defaultView.getComputedStyle(root);
          if (rootStyle.backgroundImage !== 'none' || !isTransparent(rootStyle.backgroundColor)) {
            setStyle(root, 'background-color', 'transparent', 'important');
            setStyle(root, 'background-image', 'none', 'important');
          }
        }
        // The BODY's own attributes first; the inline declarations make them win over the
        // page's style sheets.
        if (change.color !== undefined) {
          setAttr(body, 'bgcolor', change.color);
          setStyle(body, 'background-color', change.color, 'important');
        }
        if (change.image) {
          var local = isFileDocument(doc);
          var url = local ? change.image.local : change.image.remote;
          var twice = local ? change.image.local2x : change.image.remote2x;
          setAttr(body, 'background', url);
          setStyle(body, 'background-image', 'url("' + url + '")', 'important');
          if (twice) {
            // The engine picks the image for the screen's density; engines before
            // Chromium 113 know only the prefixed form.
            var set = 'url("' + url + '") 1x, url("' + twice + '") 2x';
            setStyle(body, 'background-image', 'image-set(' + set + ')', 'important');
            if (body.style.getPropertyValue('background-image').indexOf('image-set') < 0)
              setStyle(body, 'background-image', '-webkit-image-set(' + set + ')', 'important');
          }
          setStyle(body, 'background-repeat', 'repeat', 'important');
          imaged.add(doc);
        }
        // A layout alone changes only documents that show the chosen image: the page's own
        // background stays as the page has it.
        if (change.layout && imaged.has(doc)) {
          setStyle(body, 'background-repeat', change.layout.repeat, 'important');
          setStyle(body, 'background-position', change.layout.position, 'important');
          setStyle(body, 'background-size', change.layout.size, 'important');
          setStyle(body, 'background-attachment', change.layout.attachment, 'important');
          // The image in the middle of the visible page, not of a short page's content.
          if (root && root !== body) {
            if (change.layout.rootFillsView) setStyle(root, 'min-height', '100%', 'important');
            else restoreStyle(root, 'min-height');
          }
        }
      } catch (e) {
        // A document the page has taken apart keeps what it has; the others go on.
      }
    }
    function sameOriginDocument(win) {
      try { return win.document || null; } catch (e) { return null; }
    }
    // Visits every frame below `win` with its place ('0.2': the index in each parent's
    // frame list), the way the frames' own copies count theirs.
    function eachFrame(win, path, visit) {
      var count;
      try { count = Math.min(win.length, MAX_FRAMES); } catch (e) { return; }
      for (var i = 0; i < count; i++) {
        var frame, place = path ? path + '.' + i : String(i);
        try { frame = win[i]; } catch (e) { continue; }
        if (!frame || visit(frame, place) === false) continue;
        eachFrame(frame, place, visit);
      }
    }
    function applyHere(change) { applyTo(document, change); }
    function reportApplied(id) { report({report: 'applied', id: id}); }
    function applyToAll(change, id) {
      messages.listen(applyHere, reportApplied);
      // Frames of other origins live in other processes: their messages go out first, so
      // they change their backgrounds while this process changes its own documents.
      var targets = [], seen = 0, local = [document];
      eachFrame(window, '', function (frame, place) {
        if (++seen > MAX_WINDOWS) return false;
        var doc = sameOriginDocument(frame);
        if (doc) local.push(doc);
        else targets.push({win: frame, path: place});
      });
      var posted = messages.post(targets, id, change);
      for (var i = 0; i < local.length; i++) applyTo(local[i], change);
      return posted;
    }
    messages.listen(applyHere, reportApplied);

    // The program's own documents. A document is the program's only once the program has
    // claimed it (right after it made or wrote it); the claim lives here, out of reach of
    // every page script, and a new document starts without one. In a claimed document a
    // user's click on a command link is carried out by the program itself and never becomes
    // a navigation: navigations to command addresses are all refused, since the engine
    // cannot tell which window started one.
    var owner = null;
    var more = null;
    // A command address as a quoted text of the handler; one that only carries the text
    // further in (a web address's query) is no command.
    var COMMAND_IN_HANDLER = /['"]\s*(zelvorin:[^'"\s;)]*)/i;
    function isCommand(text) {
      var t = String(text).trim().toLowerCase();
      return t.indexOf('zelvorin:') === 0;
    }
    function onActivate(event) {
      if (owner === null || !event.isTrusted) return;
      var path = event.composedPath();
      for (var i = 0; i < path.length; i++) {
        var el = path[i];
        if (!el || el.nodeType !== 1) continue;
        var href = el.localName === 'a' ? el.getAttribute('href') : null;
        if (href !== null && isCommand(href)) {
          event.preventDefault();
          report({report: 'command', nonce: owner, address: href});
          return;
        }
        // A control whose own click handler opens a command address (the welcome page's
        // check box): the handler is held back and the program carries the command out.
        var handler = el.getAttribute('onclick');
        var found = handler && COMMAND_IN_HANDLER.exec(handler);
        if (found) {
          event.stopImmediatePropagation();
          report({report: 'command', nonce: owner, address: found[1]});
          return;
        }
      }
    }
    function claim(nonce) {
      owner = nonce;
      // Adding the same listener twice keeps one; document.open() removes it, so each write
      // claims again.
      window.addEventListener('click', onActivate, true);
      return true;
    }
    function stopPageTimers() {
      // document.open() keeps the window of the replaced document, and with it its pending
      // timers and animation frames; their numbers belong to the window, so this world
      // reaches the page's own.
      var last = setTimeout(function () {}, 0);
      for (var id = last; id > 0; --id) { clearTimeout(id); clearInterval(id); }
      var frame = requestAnimationFrame(function () {});
      for (var f = frame; f > 0; --f) cancelAnimationFrame(f);
    }
    function findMarker(text) {
      var walker = document.createTreeWalker(document, NodeFilter.SHOW_COMMENT);
      for (var node = walker.nextNode(); node; node = walker.nextNode())
        if (node.data === text) return node;
      return null;
    }
    // The rest of a long page is asked for when the user scrolls near its written end.
    function watchEnd() {
      if (!more) return;
      if (more.observer) more.observer.disconnect();
      var target = more.marker.previousElementSibling || more.marker.parentElement;
      more.asked = false;
      more.observer = new IntersectionObserver(function (entries) {
        if (!more || more.asked) return;
        for (var i = 0; i < entries.length; i++) {
          if (entries[i].isIntersecting) {
            more.asked = true;
            report({report: 'more', nonce: owner});
            return;
          }
        }
      }, {rootMargin: '0px 0px 2000px 0px'});
      more.observer.observe(target);
    }

    window.__zelvorin = {
      claimLoaded: function (nonce, address) {
        if (owner !== null || location.href !== address) return false;
        return claim(nonce);
      },
      writePage: function (nonce, text, marker) {
        if (owner === null || owner !== nonce) return false;
        if (more && more.observer) more.observer.disconnect();
        more = null;
        stopPageTimers();
        changes = new WeakMap();
        changed = [];
        document.open();
        document.write(text);
        document.close();
        claim(nonce);
        if (marker) {
          var node = findMarker(marker);
          if (node) { more = {marker: node}; watchEnd(); }
        }
        return true;
      },
      appendItems: function (nonce, text, done) {
        if (owner !== nonce || !more) return false;
        var marker = more.marker, parent = marker.parentNode;
        if (text) {
          var range = document.createRange();
          range.selectNode(marker);
          parent.insertBefore(range.createContextualFragment(text), marker);
        }
        if (done) {
          if (more.observer) more.observer.disconnect();
          parent.removeChild(marker);
          more = null;
        } else {
          watchEnd();
        }
        return true;
      },
      applyToAll: applyToAll,
      // This document alone: the program reaches each frame itself where the engine lets it.
      applyHere: function (change) { applyHere(change); return 0; },
      countFrames: function () {
        if (!(document instanceof HTMLDocument)) return -1;
        return Math.min(window.length, MAX_FRAMES);
      },
      setScroll: function (scroll) {
        var body = bodyOf(document);
        if (!body) return false;
        setAttr(body, 'scroll', scroll ? 'yes' : 'no');
        // The engine ignores the old attribute; the root's overflow does the same job.
        setStyle(document.documentElement, 'overflow', scroll ? '' : 'hidden');
        return true;
      },
      setBorder: function (mode) {
        var body = bodyOf(document);
        if (!body) return false;
        if (mode === 1) setStyle(body, 'border-style', 'none');
        else if (mode === 0) setStyle(body, 'border-style', '');
        return true;
      },
      // The elements the program changed, each with what it changed.
      changedElements: function () {
        var list = [];
        changed.forEach(function (ref) {
          var el = ref.deref();
          if (el) list.push({element: el, change: changes.get(el)});
        });
        return list;
      },
      // The comment where further items of a long page go, or null.
      moreMarker: function () { return more ? more.marker : null; },
      readBackgroundColor: function () {
        var body = bodyOf(document);
        if (!body) return null;
        var view = document.defaultView;
        return [body.getAttribute('bgcolor') || '',
                view.getComputedStyle(body).backgroundColor,
                view.getComputedStyle(document.documentElement).backgroundColor];
      },
      findElement: function (name, index) {
        var all = document.all, found = null;
        if (index < 0) index = 0;
        if (name === '') {
          found = all[index] || null;
        } else {
          var seen = 0;
          for (var i = 0; i < all.length; i++) {
            var el = all[i];
            if (el.id === name || el.getAttribute('name') === name) {
              if (seen++ === index) { found = el; break; }
            }
          }
        }
        if (!found) return -1;
        elements.push(found);
        return elements.length - 1;
      },
      attribute: function (handle, name) {
        var el = elements[handle];
        if (!el) return null;
        if (name in el) {
          var value = el[name];
          var kind = typeof value;
          if (kind === 'boolean' || kind === 'number' || kind === 'string') return value;
        }
        return el.getAttribute(name);
      }
    };
  }
})
