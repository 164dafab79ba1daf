// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The logic of the preview's page scripts (preview/scripts), run by Node with small
// stand-ins for the browser's windows, documents and events: the HMAC of the frame
// messages, which messages a frame and the top take or refuse, the record of the
// program's changes from which the author's source is made, and the claim of a program
// document with the report of a command link.
//   node test_page_scripts.js [SCRIPTS FOLDER]
'use strict';
const assert = require('assert');
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const folder = process.argv[2] || path.join(__dirname, '..', '..', 'preview', 'scripts');
const KEY = 'zelvorin-0123456789abcdef0123456789abcdef';

function source(name) {
  return fs.readFileSync(path.join(folder, name), 'utf8');
}

// Evaluates a script file (a function expression) in a context of its own with `globals`.
function load(name, globals) {
  const context = vm.createContext(Object.assign({TextEncoder}, globals));
  return vm.runInContext(source(name), context, {filename: name});
}

// A window with frames, listeners and an inbox of posted messages; each frame runs its own
// copy of the scripts, as in the browser.
class FakeWindow {
  constructor(parent) {
    this.parent = parent || this;
    this.top = parent ? parent.top : this;
    this.frames = [];
    this.listeners = {};
    this.inbox = [];
    if (parent) {
      parent[parent.frames.length] = this;
      parent.frames.push(this);
    }
  }
  get length() { return this.frames.length; }
  addEventListener(type, listener) {
    const list = this.listeners[type] || (this.listeners[type] = []);
    if (!list.includes(listener)) list.push(listener);
  }
  postMessage(data) { this.inbox.push(JSON.parse(JSON.stringify(data))); }
  // Hands a message to the window's listeners as sent by `source`.
  receive(data, source) {
    const event = {data: JSON.parse(JSON.stringify(data)), source: source, stopped: false,
                   stopImmediatePropagation() { this.stopped = true; }};
    for (const listener of this.listeners.message || []) listener(event);
    return event;
  }
}

function messagesOf(win, clock, key) {
  const make = load('FrameMessages.js', {window: win, Date: {now: () => clock.now}});
  return make(key || KEY, 100);
}

// A small HTML document: elements with ordered attributes and an inline style that keeps
// the "style" attribute as its text, as the browser's does.
class FakeStyle {
  constructor(element) { this.element = element; this.props = new Map(); }
  get length() { return this.props.size; }
  parse(text) {
    this.props.clear();
    for (const part of String(text || '').split(';')) {
      const colon = part.indexOf(':');
      if (colon < 0) continue;
      let value = part.slice(colon + 1).trim(), priority = '';
      if (/!important$/.test(value)) {
        priority = 'important';
        value = value.replace(/\s*!important$/, '');
      }
      this.props.set(part.slice(0, colon).trim(), {value, priority});
    }
  }
  text() {
    return [...this.props].map(([name, p]) =>
      name + ': ' + p.value + (p.priority ? ' !important' : '') + ';').join(' ');
  }
  getPropertyValue(name) { return this.props.has(name) ? this.props.get(name).value : ''; }
  getPropertyPriority(name) { return this.props.has(name) ? this.props.get(name).priority : ''; }
  setProperty(name, value, priority) {
    if (value === '') return this.removeProperty(name);
    this.props.set(name, {value: String(value), priority: priority || ''});
    this.element.attributes.set('style', this.text());
  }
  removeProperty(name) {
    this.props.delete(name);
    this.element.attributes.set('style', this.text());
  }
}

function escapeAttribute(text) { return text.replace(/&/g, '&amp;').replace(/"/g, '&quot;'); }

class FakeNode {
  get firstChild() { return this.children ? this.children[0] || null : null; }
  get nextSibling() {
    const siblings = this.parentNode ? this.parentNode.children : [];
    return siblings[siblings.indexOf(this) + 1] || null;
  }
  get isConnected() {
    let node = this;
    while (node.parentNode) node = node.parentNode;
    return node.nodeType === 9;
  }
}

class FakeText extends FakeNode {
  constructor(data) { super(); this.nodeType = 3; this.data = data; this.parentNode = null; }
}

class FakeElement extends FakeNode {
  constructor(document, name, attributes, children) {
    super();
    this.nodeType = 1;
    this.ownerDocument = document;
    this.localName = name;
    this.namespaceURI = 'http://www.w3.org/1999/xhtml';
    this.attributes = new Map();
    this.style = new FakeStyle(this);
    this.children = [];
    this.parentNode = null;
    for (const [attribute, value] of Object.entries(attributes || {}))
      this.setAttribute(attribute, value);
    for (const child of children || []) this.append(child);
  }
  append(child) { child.parentNode = this; this.children.push(child); }
  getAttribute(name) { return this.attributes.has(name) ? this.attributes.get(name) : null; }
  setAttribute(name, value) {
    this.attributes.set(name, String(value));
    if (name === 'style') this.style.parse(value);
  }
  removeAttribute(name) {
    this.attributes.delete(name);
    if (name === 'style') this.style.props.clear();
  }
  cloneNode(deep) {
    const copy = new FakeElement(this.ownerDocument, this.localName);
    for (const [name, value] of this.attributes) copy.setAttribute(name, value);
    if (deep) for (const child of this.children) copy.append(child.cloneNode(true));
    return copy;
  }
  get innerHTML() {
    return this.children.map((c) => c.nodeType === 3 ? c.data : c.outerHTML).join('');
  }
  get outerHTML() {
    let text = '<' + this.localName;
    for (const [name, value] of this.attributes) text += ' ' + name + '="' + escapeAttribute(value) + '"';
    return text + '>' + this.innerHTML + '</' + this.localName + '>';
  }
}
FakeText.prototype.cloneNode = function () { return new FakeText(this.data); };

class FakeDocument extends FakeNode {
  constructor(win, href, markup) {
    super();
    this.nodeType = 9;
    this.contentType = 'text/html';
    this.defaultView = win;
    this.location = {href: href, protocol: href.slice(0, href.indexOf(':') + 1)};
    this.children = [];
    const body = new FakeElement(this, 'body', markup.body, [new FakeText(markup.text)]);
    const root = new FakeElement(this, 'html', markup.root,
                                 [new FakeElement(this, 'head'), body]);
    root.parentNode = this;
    this.children.push(root);
    this.documentElement = root;
    this.body = body;
  }
  // document.bgColor reflects the BODY's attribute.
  set bgColor(value) { this.body.setAttribute('bgcolor', value); }
  get bgColor() { return this.body.getAttribute('bgcolor') || ''; }
}

// A top window with a document and the frame library, its reports collected.
function libraryWindow(href, markup) {
  const win = new FakeWindow();
  const reports = [];
  const document = new FakeDocument(win, href, markup);
  win.origin = href.startsWith('file:') ? 'file://' : href.replace(/^(\w+:\/\/[^/]+).*$/, '$1');
  win.getComputedStyle = (el) => ({
    backgroundImage: el.style.getPropertyValue('background-image') || 'none',
    backgroundColor: el.style.getPropertyValue('background-color') || 'rgba(0, 0, 0, 0)',
  });
  const globals = {
    window: win, document: document, location: document.location,
    Node: {ELEMENT_NODE: 1, TEXT_NODE: 3, COMMENT_NODE: 8, DOCUMENT_TYPE_NODE: 10,
           PROCESSING_INSTRUCTION_NODE: 7},
    console: {log: (text) => reports.push(text)},
  };
  const makeMessages = load('FrameMessages.js', {window: win, Date});
  load('FrameLibrary.js', globals)({key: KEY, maxFrames: 100, maxWindows: 1000}, makeMessages);
  const task = (file) => load(file, globals)(win.__zelvorin, []);
  return {win, document, reports, z: win.__zelvorin, task};
}

function reportsOf(reports) {
  return reports.map((text) => {
    assert.ok(text.startsWith(KEY + ' '), 'a report starts with the key: ' + text);
    return JSON.parse(text.slice(KEY.length + 1));
  });
}

const tests = [];
function test(name, run) { tests.push({name, run}); }

test('the digest is HMAC-SHA-256: RFC 4231 cases 1 and 2', () => {
  const hmac = (key, text) => messagesOf(new FakeWindow(), {now: 0}, key).hmac(text);
  assert.strictEqual(hmac('\x0b'.repeat(20), 'Hi There'),
                     'b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7');
  assert.strictEqual(hmac('Jefe', 'what do ya want for nothing?'),
                     '5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843');
});

test('the digest is HMAC-SHA-256 at every block boundary, long keys and UTF-8 alike', () => {
  const keys = ['k', 'x'.repeat(64), 'y'.repeat(65), 'clé', KEY];
  for (const key of keys) {
    const messages = messagesOf(new FakeWindow(), {now: 0}, key);
    for (let length = 0; length <= 200; length++) {
      const text = 'é\n'.repeat(length).slice(0, length);
      const expected = crypto.createHmac('sha256', Buffer.from(key, 'utf8'))
                           .update(Buffer.from(text, 'utf8')).digest('hex');
      assert.strictEqual(messages.hmac(text), expected, 'key ' + key + ', length ' + length);
    }
  }
});

// The top with a frame of its own (0) and one (1) holding a frame (1.0).
function frameTree() {
  const clock = {now: 1700000000000};
  const top = new FakeWindow(), first = new FakeWindow(top), second = new FakeWindow(top);
  const inner = new FakeWindow(second);
  const taken = [], done = [];
  const topMessages = messagesOf(top, clock);
  topMessages.listen(() => assert.fail('the top takes no change'), (id) => done.push(id));
  const listen = (win, name) => messagesOf(win, clock).listen((change) => taken.push(name), () => {});
  listen(first, 'first');
  listen(second, 'second');
  listen(inner, 'inner');
  return {clock, top, first, second, inner, topMessages, taken, done};
}

test('a frame takes a change from its top for its own place, once, and answers', () => {
  const t = frameTree();
  const posted = t.topMessages.post([{win: t.first, path: '0'}, {win: t.inner, path: '1.0'}], 7,
                                    {color: '#0000FF'});
  assert.strictEqual(posted, 2);
  const change = t.first.inbox[0];
  assert.strictEqual(change.zelvorin, 'change');
  assert.ok(!JSON.stringify(change).includes(KEY), 'no key in a message');
  assert.ok(t.first.receive(change, t.top).stopped, 'the page never sees a change taken');
  assert.deepStrictEqual(t.taken, ['first']);
  // Replayed: not newer than the last one taken.
  t.first.receive(change, t.top);
  assert.deepStrictEqual(t.taken, ['first']);
  // For another place, or from a window other than the top.
  t.second.receive(t.inner.inbox[0], t.top);
  t.inner.receive(t.inner.inbox[0], t.second);
  assert.deepStrictEqual(t.taken, ['first']);
  t.inner.receive(t.inner.inbox[0], t.top);
  assert.deepStrictEqual(t.taken, ['first', 'inner']);
  // Both answers: the change is done once, whatever comes after.
  assert.strictEqual(t.top.inbox.length, 2);
  t.top.receive(t.top.inbox[0], t.first);
  assert.deepStrictEqual(t.done, []);
  t.top.receive(t.top.inbox[1], t.inner);
  t.top.receive(t.top.inbox[1], t.inner);
  assert.deepStrictEqual(t.done, [7]);
});

test('a frame refuses changes forged, changed, stale or under another key', () => {
  const refused = [
    ['body changed', (m) => { m.body = '{"color":"#00FF00"}'; }],
    ['place changed', (m) => { m.frame = '1'; }],
    ['sequence raised', (m) => { m.seq += 100; }],
    ['time changed', (m) => { m.sent += 1; }],
    ['no digest', (m) => { delete m.mac; }],
    ['number as text', (m) => { m.id = String(m.id); }],
    ['sent over ten seconds ago', (m, t) => { t.clock.now += 10001; }],
    ['the earlier form', (m) => { for (const k of Object.keys(m)) delete m[k]; m.zelvorinKey = 'x'; }],
  ];
  for (const [name, spoil] of refused) {
    const t = frameTree();
    t.topMessages.post([{win: t.first, path: '0'}], 1, {color: '#0000FF'});
    const message = t.first.inbox[0];
    spoil(message, t);
    assert.strictEqual(t.first.receive(message, t.top).stopped, false, name);
    assert.deepStrictEqual(t.taken, [], name);
  }
  const t = frameTree();
  messagesOf(t.top, t.clock, KEY + 'x').post([{win: t.first, path: '0'}], 1, {});
  t.first.receive(t.first.inbox[0], t.top);
  assert.deepStrictEqual(t.taken, [], 'another key');
});

test('the top refuses answers that are not the frame\'s own', () => {
  const t = frameTree();
  t.topMessages.post([{win: t.first, path: '0'}], 3, {});
  t.first.receive(t.first.inbox[0], t.top);
  const answer = t.top.inbox[0];
  t.top.receive(answer, t.second);
  t.top.receive(Object.assign({}, answer, {mac: answer.mac.replace(/^./, '0')}), t.first);
  t.top.receive(Object.assign({}, answer, {id: 4}), t.first);
  t.top.receive('applied', t.first);
  assert.deepStrictEqual(t.done, []);
  t.top.receive(answer, t.first);
  assert.deepStrictEqual(t.done, [3]);
});

const Page = {root: {}, body: {style: 'margin:0'}, text: 'x'};

test('the author\'s source takes back what the program changed, and only that', () => {
  const cases = [
    ['a web page', 'http://127.0.0.1/page.html', Page, null,
     '<html><head></head><body style="margin:0" background="zelvorin-file://t/a.png" ' +
     'bgcolor="#C8BFAE">x</body></html>'],
    ['a local page', 'file:///home/u/page.html', Page, null,
     '<html><head></head><body style="margin:0" background="zelvorin-local://t/a.png" ' +
     'bgcolor="#C8BFAE">x</body></html>'],
    ['the page\'s own colours, on the root too', 'http://127.0.0.1/page.html',
     {root: {style: 'background-color: yellow'}, body: {bgcolor: '#ffffff', text: 'navy'},
      text: 'y'},
     null,
     '<html style="background-color: yellow"><head></head><body bgcolor="#C8BFAE" ' +
     'text="navy" background="zelvorin-file://t/a.png">y</body></html>'],
    // Only the program's declarations that the page left as they were go.
    ['the page restyles after', 'http://127.0.0.1/page.html', Page,
     (document) => {
       document.body.style.setProperty('color', 'blue');
       document.body.style.setProperty('background-color', 'red');
     },
     '<html><head></head><body style="margin: 0; background-color: red; color: blue;" ' +
     'background="zelvorin-file://t/a.png" bgcolor="#C8BFAE">z</body></html>'],
  ];
  for (const [name, href, markup, pageScript, expected] of cases) {
    const page = libraryWindow(href, Object.assign({}, markup,
                                                   {text: pageScript ? 'z' : markup.text}));
    const z = page.z;
    const image = {remote: 'zelvorin-file://t/a.png', local: 'zelvorin-local://t/a.png'};
    assert.strictEqual(z.applyToAll({image: image, layout: {repeat: 'no-repeat', position: 'center',
                                     size: 'auto', attachment: 'fixed'}}, 1), 0, name);
    assert.strictEqual(z.applyToAll({color: '#C8BFAE'}, 2), 0, name);
    const body = page.document.body;
    // The preview shows the choice through declarations that win over the page's.
    assert.strictEqual(body.style.getPropertyPriority('background-image'), 'important', name);
    assert.strictEqual(body.style.getPropertyValue('background-repeat'), 'no-repeat', name);
    if (name.includes('root'))
      assert.strictEqual(page.document.documentElement.style.getPropertyValue('background-color'),
                         'transparent', name);
    if (pageScript) pageScript(page.document);
    assert.strictEqual(page.task('AuthorSource.js'), expected, name);
  }
});

test('a claimed document reports the user\'s command clicks, and nothing else', () => {
  const href = 'qrc:/pages/blank.html';
  const element = (name, attributes) => {
    const el = new FakeElement(null, name, attributes);
    return el;
  };
  const cases = [
    ['a command link', element('a', {href: 'zelvorin://imglist/26,25'}), true,
     'zelvorin://imglist/26,25', 'prevented'],
    ['a command link in capitals', element('a', {href: ' ZELVORIN://Contacts'}), true,
     ' ZELVORIN://Contacts', 'prevented'],
    ['a control that opens a command', element('input',
     {onclick: "document.location='zelvorin://switchwelcomepageview';"}), true,
     'zelvorin://switchwelcomepageview', 'stopped'],
    ['a script\'s click', element('a', {href: 'zelvorin://contacts'}), false, null, null],
    ['a web link carrying the word', element('a', {href: 'http://x/?go=zelvorin://contacts'}),
     true, null, null],
    ['a control opening a web address carrying it', element('input',
     {onclick: "location='http://x/?zelvorin:contacts'"}), true, null, null],
  ];
  for (const [name, target, trusted, address, effect] of cases) {
    const page = libraryWindow(href, Page);
    assert.strictEqual(page.z.claimLoaded('n1', 'qrc:/pages/other.html'), false, name);
    assert.strictEqual(page.z.writePage('n1', '', ''), false, name);
    assert.strictEqual(page.z.claimLoaded('n1', href), true, name);
    assert.strictEqual(page.z.claimLoaded('n2', href), false, name);
    let prevented = false, stopped = false;
    const event = {isTrusted: trusted, composedPath: () => [target, page.document.body],
                   preventDefault() { prevented = true; },
                   stopImmediatePropagation() { stopped = true; }};
    for (const listener of page.win.listeners.click) listener(event);
    const reports = reportsOf(page.reports);
    if (address === null) {
      assert.deepStrictEqual(reports, [], name);
      assert.ok(!prevented && !stopped, name);
      continue;
    }
    assert.deepStrictEqual(reports, [{report: 'command', nonce: 'n1', address: address}], name);
    assert.strictEqual(prevented, effect === 'prevented', name);
    assert.strictEqual(stopped, effect === 'stopped', name);
  }
  // A document nobody claimed reports no click at all.
  const unclaimed = libraryWindow(href, Page);
  assert.strictEqual(unclaimed.win.listeners.click, undefined);
});

let failed = 0;
for (const {name, run} of tests) {
  try {
    run();
    console.log('PASS   : ' + name);
  } catch (error) {
    failed++;
    console.log('FAIL!  : ' + name + '\n' + (error.stack || error));
  }
}
console.log('Totals: ' + (tests.length - failed) + ' passed, ' + failed + ' failed');
process.exit(failed ? 1 : 0);

test('an image centred in a scrolling page stretches the root, and only while it is', () => {
  const page = libraryWindow('http://127.0.0.1/page.html',
                             {root: {style: 'min-height: 50px'}, body: {}, text: 'x'});
  const root = page.document.documentElement;
  const image = {remote: 'zelvorin-file://t/a.png', local: 'zelvorin-local://t/a.png'};
  const layout = (rootFillsView) => ({repeat: 'no-repeat', position: 'center', size: 'auto',
                                      attachment: 'scroll', rootFillsView: rootFillsView});
  assert.strictEqual(page.z.applyToAll({image: image, layout: layout(true)}, 1), 0);
  assert.strictEqual(root.style.getPropertyValue('min-height'), '100%');
  assert.strictEqual(root.style.getPropertyPriority('min-height'), 'important');
  assert.match(page.task('AuthorSource.js'), /^<html style="min-height: 50px">/);
  assert.strictEqual(page.z.applyToAll({layout: layout(false)}, 2), 0);
  assert.strictEqual(root.style.getPropertyValue('min-height'), '50px');
  assert.strictEqual(root.style.getPropertyPriority('min-height'), '');
});
