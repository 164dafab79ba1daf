// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's messages to the frames of other origins, for an engine that cannot run a
// script in a chosen frame (Qt WebEngine 6.4). The top document's copy posts each change
// to the frames it cannot reach itself; each frame's copy applies it and answers.
//
// Pages can see these messages (a page that calls document.open() loses every listener of
// its window, the program's included), so nothing in them is secret. Each carries an
// HMAC-SHA-256 under the key only the program's isolated scripts hold, over what it says
// and which frame it is for. (The engine's own digest is missing in pages that are not
// served securely, so the digest is computed here.)
//
//   change: {zelvorin: 'change', id, seq, frame, sent, body, mac}
//     id: the program's number of the change; seq: the top document's count of the
//     changes it sent; frame: the frame's place, its index in each parent's frame list
//     from the top ('0.2'); sent: when it was sent (ms since the epoch); body: the change
//     as JSON text; mac: HMAC of 'change', id, seq, frame, sent and body, one a line.
//   answer: {zelvorin: 'applied', id, frame, mac}
//     mac: HMAC of 'applied', id and frame, one a line.
//
// A frame takes a change only from its top window, only for its own place, only when it
// is newer than the last one it took and was sent within the last ten seconds. The top
// takes an answer only from the frame it sent the change to, and only once.
//
// Evaluates to a function of the key and the most frames counted in one window, which
// gives {listen(onChange, onDone), post(targets, id, change), hmac(text)}.
(function (KEY, MAX_FRAMES) {
  'use strict';
  var MAX_AGE = 10000;

  // Signed words throughout: the engine keeps them as small integers, where unsigned words
  // above 2^31 would be doubles.
  var K = new Int32Array([
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2]);
  var INITIAL = new Int32Array([
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19]);
  var W = new Int32Array(64);
  var encoder = new TextEncoder();

  // Runs the compression function over each 64-byte block of data[0, end) into state h.
  function compress(h, data, end) {
    for (var p = 0; p < end; p += 64) {
      var t;
      for (t = 0; t < 16; t++) {
        var q = p + 4 * t;
        W[t] = data[q] << 24 | data[q + 1] << 16 | data[q + 2] << 8 | data[q + 3];
      }
      for (t = 16; t < 64; t++) {
        var x = W[t - 15], y = W[t - 2];
        var s0 = (x >>> 7 | x << 25) ^ (x >>> 18 | x << 14) ^ (x >>> 3);
        var s1 = (y >>> 17 | y << 15) ^ (y >>> 19 | y << 13) ^ (y >>> 10);
        W[t] = W[t - 16] + s0 + W[t - 7] + s1;
      }
      var a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
      for (t = 0; t < 64; t++) {
        var S1 = (e >>> 6 | e << 26) ^ (e >>> 11 | e << 21) ^ (e >>> 25 | e << 7);
        var t1 = (k + S1 + ((e & f) ^ (~e & g)) + K[t] + W[t]) | 0;
        var S0 = (a >>> 2 | a << 30) ^ (a >>> 13 | a << 19) ^ (a >>> 22 | a << 10);
        var t2 = (S0 + ((a & b) ^ (a & c) ^ (b & c))) | 0;
        k = g; g = f; f = e; e = (d + t1) | 0; d = c; c = b; b = a; a = (t1 + t2) | 0;
      }
      h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += k;
    }
  }
  // The digest of `message` hashed on from `start`, the state after `prefix` bytes.
  function digest(start, prefix, message) {
    var h = new Int32Array(start);
    var length = message.length, padded = (length + 72) & ~63;
    var data = new Uint8Array(padded);
    data.set(message);
    data[length] = 0x80;
    var bits = (prefix + length) * 8;
    for (var i = 1; i <= 8; i++, bits = Math.floor(bits / 256)) data[padded - i] = bits % 256;
    compress(h, data, padded);
    var out = new Uint8Array(32);
    for (var j = 0; j < 8; j++) {
      out[4 * j] = h[j] >>> 24; out[4 * j + 1] = h[j] >>> 16;
      out[4 * j + 2] = h[j] >>> 8; out[4 * j + 3] = h[j];
    }
    return out;
  }
  // The states after the key's inner and outer blocks, worked out once.
  function keyState(key, pad) {
    var block = new Uint8Array(64);
    for (var i = 0; i < 64; i++) block[i] = (i < key.length ? key[i] : 0) ^ pad;
    var h = new Int32Array(INITIAL);
    compress(h, block, 64);
    return h;
  }
  var keyBytes = encoder.encode(KEY);
  if (keyBytes.length > 64) keyBytes = digest(INITIAL, 0, keyBytes);
  var inner = keyState(keyBytes, 0x36), outer = keyState(keyBytes, 0x5c);

  function hmac(text) {
    var mac = digest(outer, 64, digest(inner, 64, encoder.encode(text)));
    var hex = '';
    for (var i = 0; i < mac.length; i++) hex += (mac[i] < 16 ? '0' : '') + mac[i].toString(16);
    return hex;
  }

  // The window's place among the frames, as the top document counts it; null when it has
  // none that the top counts.
  function framePath(win) {
    var path = [];
    for (var depth = 0; win !== win.top; depth++) {
      var parent = win.parent, count, i;
      if (depth > 64) return null;
      try { count = Math.min(parent.length, MAX_FRAMES); } catch (e) { return null; }
      for (i = 0; i < count; i++) {
        try { if (parent[i] === win) break; } catch (e) {}
      }
      if (i === count) return null;
      path.unshift(i);
      win = parent;
    }
    return path.join('.');
  }

  var onChange = null, onDone = null;
  var sentCount = 0, lastTaken = 0;
  var pending = Object.create(null);

  function takeChange(event, data) {
    if (window === window.top || event.source !== window.top) return;
    var id = data.id, seq = data.seq, frame = data.frame, sent = data.sent, body = data.body;
    if (typeof id !== 'number' || typeof seq !== 'number' || typeof frame !== 'string' ||
        typeof sent !== 'number' || typeof body !== 'string' || typeof data.mac !== 'string')
      return;
    if (seq <= lastTaken || Math.abs(Date.now() - sent) > MAX_AGE) return;
    if (frame !== framePath(window)) return;
    if (data.mac !== hmac(['change', id, seq, frame, sent, body].join('\n'))) return;
    event.stopImmediatePropagation();
    lastTaken = seq;
    var change;
    try { change = JSON.parse(body); } catch (e) { return; }
    onChange(change);
    var answer = {zelvorin: 'applied', id: id, frame: frame,
                  mac: hmac(['applied', id, frame].join('\n'))};
    try { event.source.postMessage(answer, '*'); } catch (e) {}
  }
  function takeAnswer(event, data) {
    var waiting = typeof data.id === 'number' ? pending[data.id] : undefined;
    if (!waiting || typeof data.frame !== 'string' || typeof data.mac !== 'string') return;
    var win = waiting.windows[data.frame];
    if (!win || event.source !== win) return;
    if (data.mac !== hmac(['applied', data.id, data.frame].join('\n'))) return;
    event.stopImmediatePropagation();
    delete waiting.windows[data.frame];
    if (--waiting.left === 0) {
      delete pending[data.id];
      onDone(data.id);
    }
  }
  function listener(event) {
    var data = event.data;
    if (!data || typeof data !== 'object') return;
    if (data.zelvorin === 'change') takeChange(event, data);
    else if (data.zelvorin === 'applied') takeAnswer(event, data);
  }

  return {
    // Registered before any script of the page runs, so the page never sees the messages
    // it takes; again with each change the top sends, as document.open() removes it.
    listen: function (change, done) {
      onChange = change;
      onDone = done;
      window.addEventListener('message', listener, true);
    },
    // Posts the change to each of `targets` ({win, path}); the number of answers to come.
    post: function (targets, id, change) {
      var body = JSON.stringify(change), sent = Date.now(), seq = ++sentCount;
      var windows = Object.create(null), posted = 0;
      for (var i = 0; i < targets.length; i++) {
        var path = targets[i].path;
        var message = {zelvorin: 'change', id: id, seq: seq, frame: path, sent: sent, body: body,
                       mac: hmac(['change', id, seq, path, sent, body].join('\n'))};
        try { targets[i].win.postMessage(message, '*'); } catch (e) { continue; }
        windows[path] = targets[i].win;
        posted++;
      }
      if (posted) pending[id] = {windows: windows, left: posted};
      return posted;
    },
    hmac: hmac
  };
})
