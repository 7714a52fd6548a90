// The page's side of the web backend: every control is an element of the
// page, made, placed and changed here at the game's word, and every event the
// player raises goes back into the game through the exported pk_event_*
// functions, which enter the one dispatch point.
//
// Numbers: element ids are small integers (0 is none); colours are
// 0x00BBGGRR; positions are pixels of the 681 x 289 design.

var LibraryPirokko = {
  $PK: {
    els: [null],
    pictures: [null],
    timers: {},
    root: null,
    live: null,
    guard: null,   // a button focused by the program, deaf to keys until the player moves
    focusTo: null,   // the control whose focus waits for the first line's frame
    ended: false,
    painted: false,   // the game's first line is on the screen
    afterPaint: [],
    // Runs `then` once the game's first line is on the screen: what the
    // first line does not need waits for it.
    whenPainted: function(then) {
      if (PK.painted) then(); else PK.afterPaint.push(then);
    },
    markPainted: function() {
      if (PK.painted) return;
      PK.painted = true;
      var waiting = PK.afterPaint;
      PK.afterPaint = [];
      waiting.forEach(function(then) { then(); });
    },
    // Marks "first-line" (for the start-up bench) when the text's first
    // line is on the screen, as the browser reports its paint, and lets what
    // waits for it go. A browser that does not report paints lets it go with
    // the next frame; a page in the background draws none, and lets it go at
    // once; and a text that paints nothing for two seconds lets it go then.
    watchFirstLine: function() {
      if (PK.watching) return;  // a form shown again is no new first line
      PK.watching = true;
      var types = (window.PerformanceObserver && PerformanceObserver.supportedEntryTypes) || [];
      if (types.indexOf('element') >= 0) {
        new PerformanceObserver(function(list, observer) {
          var shown = list.getEntries().filter(function(e) { return e.identifier === 'first-line'; })[0];
          if (!shown) return;
          observer.disconnect();
          performance.mark('first-line', {startTime: shown.renderTime || shown.loadTime});
          PK.markPainted();
        }).observe({type: 'element', buffered: true});
        setTimeout(PK.markPainted, 2000);
      } else {
        requestAnimationFrame(function() { setTimeout(PK.markPainted, 0); });
      }
      var hidden = function() { if (document.hidden) PK.markPainted(); };
      hidden();
      document.addEventListener('visibilitychange', hidden);
    },
    // What the page asked for while the engine loaded (index.html), taken
    // once: a later fetch of the same name asks again.
    takeEarly: function(name) {
      var early = window.pirokkoEarly && window.pirokkoEarly[name];
      if (early) delete window.pirokkoEarly[name];
      return early;
    },
    css: function(c) {
      return 'rgb(' + (c & 255) + ',' + ((c >> 8) & 255) + ',' + ((c >> 16) & 255) + ')';
    },
    text: function(ptr, len) {
      return UTF16ToString(ptr, len * 2);
    },
    add: function(el) {
      PK.els.push(el);
      el.pkId = PK.els.length - 1;
      return el.pkId;
    },
    // How many device pixels a design pixel takes now: the fit of the page
    // times the screen's density.
    density: function() {
      return (PK.scale || 1) * (window.devicePixelRatio || 1);
    },
    fit: function() {
      var root = PK.root;
      if (!root) return;
      var w = root.designWidth, h = root.designHeight;
      var s = Math.min(window.innerWidth / w, window.innerHeight / h);
      // A phone held upright: the width decides, and the page scrolls.
      if (window.innerWidth < window.innerHeight) s = window.innerWidth / w;
      if (!(s > 0)) s = 1;
      PK.scale = s;
      root.style.transform = 'scale(' + s + ')';
      root.parentNode.style.width = Math.floor(w * s) + 'px';
      root.parentNode.style.height = Math.floor(h * s) + 'px';
      for (var i = 1; i < PK.els.length; i++) {
        var el = PK.els[i];
        if (el && el.pkSurface) PK.stale(el);
      }
    },
    // A picture the engine has let go of is kept while a box still has to
    // draw it: a box is drawn again whenever the page is resized.
    sweepPictures: function() {
      var used = {};
      PK.els.forEach(function(el) {
        if (el && el.pkPaints) el.pkPaints.forEach(function(p) { used[p[0]] = true; });
      });
      PK.pictures.forEach(function(picture, i) {
        if (picture && picture.pkDropped && !used[i]) PK.pictures[i] = null;
      });
    },
    // A picture box is drawn at most once a frame, just before it, and not
    // while hidden: the game clears, places and paints one several times in
    // a row, and keeps one hidden as a store of pixels. None is drawn before
    // the game's first line is on the screen: the opening's text comes
    // first, and its picture with a frame after it, as a page's images do.
    staleBoxes: [],
    stale: function(box) {
      box.pkStale = true;
      if (PK.staleBoxes.indexOf(box) >= 0) return;
      PK.staleBoxes.push(box);
      if (PK.staleBoxes.length === 1) {
        PK.whenPainted(function() { requestAnimationFrame(PK.drawStale); });
      }
    },
    // A picture as a canvas to draw from, made when it is first drawn (the
    // opening's, once its line is on the screen).
    canvasOf: function(handle) {
      var picture = PK.pictures[handle];
      if (!picture) return null;
      if (!picture.pkCanvas) {
        var image = picture.pkImage || PK.imageOf(picture);
        var canvas = document.createElement('canvas');
        canvas.width = image.width;
        canvas.height = image.height;
        canvas.getContext('2d').putImageData(image, 0, 0);
        picture.pkCanvas = canvas;
        picture.pkImage = null;
      }
      return picture.pkCanvas;
    },
    // The engine's pixels of a picture (words 0xAARRGGBB, the colour
    // premultiplied) as the page's: R, G, B, A bytes, not premultiplied,
    // which on a little-endian machine is a word 0xAABBGGRR.
    imageOf: function(picture) {
      var w = picture.pkWidth, h = picture.pkHeight, n = w * h;
      var words = HEAPU32.subarray(picture.pkAt >> 2, (picture.pkAt >> 2) + n);
      var image = new ImageData(Math.max(w, 1), Math.max(h, 1));
      var out = new Uint32Array(image.data.buffer);
      for (var i = 0; i < n; i++) {
        var p = words[i], a = p >>> 24;
        if (a === 255 || a === 0) {
          // Red and blue change places; nothing to divide out.
          out[i] = (p & 0xFF00FF00) | ((p >>> 16) & 0xFF) | ((p & 0xFF) << 16);
          continue;
        }
        // Only what is partly see-through has its colour divided out.
        var r = Math.min(255, ((((p >>> 16) & 0xFF) * 255 + (a >> 1)) / a) | 0);
        var g = Math.min(255, ((((p >>> 8) & 0xFF) * 255 + (a >> 1)) / a) | 0);
        var b = Math.min(255, (((p & 0xFF) * 255 + (a >> 1)) / a) | 0);
        out[i] = (a << 24) | (b << 16) | (g << 8) | r;
      }
      return image;
    },
    drawStale: function() {
      var boxes = PK.staleBoxes;
      PK.staleBoxes = [];
      boxes.forEach(function(box) {
        if (box.hidden || !box.isConnected) return;
        box.pkStale = false;
        PK.redraw(box);
      });
    },
    redraw: function(box) {
      var canvas = box.pkSurface, d = PK.density();
      var w = box.pkInteriorW, h = box.pkInteriorH;
      var cw = Math.max(1, Math.round(w * d)), ch = Math.max(1, Math.round(h * d));
      if (canvas.width !== cw || canvas.height !== ch) {
        canvas.width = cw;
        canvas.height = ch;
      }
      var g = canvas.getContext('2d');
      g.setTransform(cw / Math.max(w, 1), 0, 0, ch / Math.max(h, 1), 0, 0);
      g.imageSmoothingEnabled = true;
      g.imageSmoothingQuality = 'high';
      g.fillStyle = PK.css(box.pkBack);
      g.fillRect(0, 0, w, h);
      for (var i = 0; i < box.pkPaints.length; i++) {
        var p = box.pkPaints[i], src = PK.canvasOf(p[0]);
        if (!src) continue;
        g.drawImage(src, p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8]);
      }
    },
    // The player's clicks wait while the game's files are still coming, so
    // that no scene can be chosen before its files are there; they are
    // played in order once the last is in.
    held: null,
    click: function(id) {
      if (PK.held) PK.held.push(id);
      else Module['_pk_event_click'](id);
    },
    keyName: function(e) {
      switch (e.key) {
        case ' ': return 0;
        case 'Enter': return 1;
        case 'PageDown': return 2;
        case 'ArrowDown': return 3;
      }
      return -1;
    },
  },

  pk_form__deps: ['$PK'],
  pk_form: function(captionPtr, captionLen, width, height, back) {
    var caption = PK.text(captionPtr, captionLen);
    document.title = caption;
    var holder = document.getElementById('pirokko-holder') || document.body;
    // The page's faces have been looked up; the window sets its own text.
    var faces = document.querySelector('.pk-faces');
    if (faces) faces.remove();
    var frame = document.createElement('div');
    frame.className = 'pk-frame';
    var root = document.createElement('section');
    root.className = 'pk-form';
    root.setAttribute('aria-label', caption);
    root.designWidth = width;
    root.designHeight = height;
    root.style.width = width + 'px';
    root.style.height = height + 'px';
    root.style.backgroundColor = PK.css(back);
    frame.appendChild(root);
    holder.appendChild(frame);
    PK.root = root;
    // Announcements of pages at rest: read by screen readers, seen by no one.
    var live = document.createElement('div');
    live.className = 'pk-live';
    live.setAttribute('aria-live', 'polite');
    live.setAttribute('aria-atomic', 'true');
    holder.appendChild(live);
    PK.live = live;
    window.addEventListener('resize', PK.fit);
    PK.fit();
    root.addEventListener('wheel', function(e) {
      e.preventDefault();
      var label = PK.wheelLabel;
      if (!label || !label.pkWheel) return;
      var dy = e.deltaMode === 1 ? e.deltaY * 100 / 3 : e.deltaMode === 2 ? e.deltaY * 100 : e.deltaY;
      if (dy < 0) {
        label.pkWheelDown = 0;  // turning back up cancels a partial notch
        return;
      }
      label.pkWheelDown = (label.pkWheelDown || 0) + dy;
      while (label.pkWheelDown >= 100) {
        label.pkWheelDown -= 100;
        PK.click(label.pkId);
      }
    }, {passive: false});
    // A press on the page, or a key, is the player moving on: a button the
    // program focused listens to keys from then on.
    document.addEventListener('keydown', function(e) {
      if (e.key === 'Tab') PK.guard = null;
      Module['_pk_event_gesture']();
    }, true);
    document.addEventListener('pointerdown', function() {
      PK.guard = null;
      Module['_pk_event_gesture']();
    }, true);
    window.addEventListener('pagehide', function() {
      Module['_pk_event_close']();
    });
    return PK.add(root);
  },

  pk_show_form__deps: ['$PK'],
  pk_show_form: function() {
    PK.root.parentNode.classList.add('pk-shown');
    PK.watchFirstLine();
  },

  pk_make__deps: ['$PK'],
  pk_make: function(kind, parent) {
    var host = PK.els[parent];
    var el;
    if (kind === 0) {
      // The text: one element that keeps the focus from page to page.
      el = document.createElement('div');
      el.className = 'pk-label';
      // Its first text on the screen is the first line (PK.watchFirstLine).
      el.setAttribute('elementtiming', 'first-line');
      el.tabIndex = 0;
      el.setAttribute('role', 'document');
      el.addEventListener('click', function() {
        PK.click(el.pkId);
      });
      el.addEventListener('keydown', function(e) {
        var k = PK.keyName(e);
        if (k < 0 || !(el.pkKeys & (1 << k))) return;
        if (e.shiftKey || e.ctrlKey || e.altKey || e.metaKey) return;
        e.preventDefault();
        if (!e.repeat) PK.click(el.pkId);
      });
      PK.wheelLabel = el;
    } else if (kind === 1 || kind === 2) {
      el = document.createElement('button');
      el.type = 'button';
      el.className = kind === 1 ? 'pk-box' : 'pk-button';
      if (kind === 1) el.setAttribute('aria-pressed', 'false');
      el.addEventListener('click', function() {
        PK.click(el.pkId);
      });
      var swallow = function(e) {
        if (e.key !== ' ' && e.key !== 'Enter') return;
        // A held key's repeat, or a key meant for what came before the
        // program put the focus here, presses nothing.
        if (PK.guard === el || (e.type === 'keydown' && e.repeat)) e.preventDefault();
      };
      el.addEventListener('keydown', swallow);
      el.addEventListener('keyup', swallow);
    } else {
      el = document.createElement('div');
      el.className = 'pk-picture';
      var canvas = document.createElement('canvas');
      canvas.setAttribute('aria-hidden', 'true');
      el.appendChild(canvas);
      el.pkSurface = canvas;
      el.pkPaints = [];
      el.pkBack = 0;
      el.pkInteriorW = 0;
      el.pkInteriorH = 0;
    }
    (host.pkSurface ? host : host).appendChild(el);
    return PK.add(el);
  },

  pk_place__deps: ['$PK'],
  pk_place: function(id, x, y, w, h) {
    var el = PK.els[id], s = el.style;
    s.left = x + 'px';
    s.top = y + 'px';
    s.width = w + 'px';
    s.height = h + 'px';
    if (el.pkSurface) {
      // A sunken border of two pixels, as the desktop draws it.
      el.pkInteriorW = Math.max(0, w - 4);
      el.pkInteriorH = Math.max(0, h - 4);
      el.pkSurface.style.width = el.pkInteriorW + 'px';
      el.pkSurface.style.height = el.pkInteriorH + 'px';
      PK.stale(el);
    }
  },

  pk_interior__deps: ['$PK'],
  pk_interior: function(id, height) {
    var el = PK.els[id];
    return height ? el.pkInteriorH : el.pkInteriorW;
  },

  pk_visible__deps: ['$PK'],
  pk_visible: function(id, visible) {
    var el = PK.els[id];
    el.hidden = !visible;
    if (visible && el.pkStale) PK.stale(el);
  },

  pk_enabled__deps: ['$PK'],
  pk_enabled: function(id, enabled) {
    var el = PK.els[id];
    if (el.tagName === 'BUTTON') el.disabled = !enabled;
    else if (!enabled) el.setAttribute('aria-disabled', 'true');
    else el.removeAttribute('aria-disabled');
  },

  pk_colors__deps: ['$PK'],
  pk_colors: function(id, back, fore) {
    var el = PK.els[id];
    // A label draws no background of its own: the window shows through.
    el.style.backgroundColor = back < 0 ? 'transparent' : PK.css(back);
    if (fore >= 0) el.style.color = PK.css(fore);
    if (el.pkSurface) {
      el.pkBack = back;
    }
  },

  pk_caption__deps: ['$PK'],
  pk_caption: function(id, ptr, len) {
    var el = PK.els[id];
    var text = PK.text(ptr, len);
    if (el.tagName === 'DIV') text = text.replace(/\r\n|\r/g, '\n');
    el.textContent = text;
  },

  pk_pressed__deps: ['$PK'],
  pk_pressed: function(id, pressed) {
    PK.els[id].setAttribute('aria-pressed', pressed ? 'true' : 'false');
  },

  pk_focus__deps: ['$PK'],
  pk_focus: function(id) {
    var el = PK.els[id];
    PK.guard = el.tagName === 'BUTTON' ? el : null;
    // Before the first line is on the screen, the focus is given just ahead
    // of the frame that shows it: given at once, the browser works out the
    // window's style for it, and again for the frame, after the game has
    // filled the window in. The last control asked for is the one focused;
    // one focused once the line is there stands.
    var waiting = PK.focusTo;
    PK.focusTo = PK.painted ? null : el;
    if (PK.painted) {
      el.focus({preventScroll: true});
      return;
    }
    if (waiting) return;
    requestAnimationFrame(function() {
      var to = PK.focusTo;
      PK.focusTo = null;
      if (to) to.focus({preventScroll: true});
    });
  },

  pk_font__deps: ['$PK'],
  pk_font: function(id, facesPtr, facesLen, px) {
    var el = PK.els[id];
    el.style.fontFamily = PK.text(facesPtr, facesLen);
    el.style.fontSize = px + 'px';
  },

  pk_name__deps: ['$PK'],
  pk_name: function(id, ptr, len) {
    PK.els[id].setAttribute('aria-label', PK.text(ptr, len));
  },

  pk_click_keys__deps: ['$PK'],
  pk_click_keys: function(id, mask, wheel) {
    var el = PK.els[id];
    el.pkKeys = mask;
    el.pkWheel = !!wheel;
  },

  pk_announce__deps: ['$PK'],
  pk_announce: function(ptr, len) {
    var live = PK.live;
    if (!live) return;
    // Emptied first, so that a page that comes again is heard again.
    live.textContent = '';
    var text = PK.text(ptr, len);
    setTimeout(function() { live.textContent = text; }, 0);
  },

  pk_tab_order__deps: ['$PK'],
  pk_tab_order: function(ids, count) {
    // The page's own order is the order of the elements: move each after the
    // one before it in the same parent, where they share one.
    var prev = null;
    for (var i = 0; i < count; i++) {
      var el = PK.els[HEAP32[(ids >> 2) + i]];
      el.tabIndex = 0;
      if (prev && prev.parentNode === el.parentNode) prev.after(el);
      prev = el;
    }
  },

  pk_picture__deps: ['$PK'],
  pk_picture: function(pixels, width, height) {
    PK.pictures.push({pkAt: pixels, pkWidth: width, pkHeight: height});
    return PK.pictures.length - 1;
  },

  pk_picture_free__deps: ['$PK'],
  pk_picture_free: function(handle) {
    var picture = PK.pictures[handle];
    picture.pkDropped = true;
    PK.sweepPictures();
    // Still to be drawn, and its pixels about to go: read them now.
    if (PK.pictures[handle] && !picture.pkCanvas && !picture.pkImage) picture.pkImage = PK.imageOf(picture);
  },

  pk_clear__deps: ['$PK'],
  pk_clear: function(id) {
    var el = PK.els[id];
    el.pkPaints = [];
    PK.stale(el);
    PK.sweepPictures();
  },

  pk_paint__deps: ['$PK'],
  pk_paint: function(id, picture, sx, sy, sw, sh, dx, dy, dw, dh) {
    var el = PK.els[id];
    el.pkPaints.push([picture, sx, sy, sw, sh, dx, dy, dw, dh]);
    PK.stale(el);
  },

  // The game's timers count from its first line on the screen: a timer of
  // a millisecond, started with the game, otherwise ran several times
  // between the game's start and the frame that shows the line, and held
  // that frame up. A timer armed before then waits in PK.timers as an
  // object, and is let go if disarmed or armed again meanwhile.
  pk_timer_arm__deps: ['$PK'],
  pk_timer_arm: function(key, ms) {
    clearInterval(PK.timers[key]);
    var run = function() {
      PK.timers[key] = setInterval(function() {
        Module['_pk_event_timer'](key);
      }, ms);
    };
    if (PK.painted) return run();
    var waiting = PK.timers[key] = {};
    PK.whenPainted(function() {
      if (PK.timers[key] === waiting) run();
    });
  },

  pk_timer_disarm__deps: ['$PK'],
  pk_timer_disarm: function(key) {
    clearInterval(PK.timers[key]);
    delete PK.timers[key];
  },

  pk_fault__deps: ['$PK'],
  pk_fault: function(titlePtr, titleLen, messagePtr, messageLen, okPtr, okLen) {
    var dialog = document.createElement('dialog');
    dialog.className = 'pk-fault';
    dialog.setAttribute('role', 'alertdialog');
    var title = document.createElement('h2');
    title.textContent = PK.text(titlePtr, titleLen);
    title.id = 'pk-fault-title';
    var message = document.createElement('p');
    message.textContent = PK.text(messagePtr, messageLen);
    message.id = 'pk-fault-message';
    dialog.setAttribute('aria-labelledby', 'pk-fault-title');
    dialog.setAttribute('aria-describedby', 'pk-fault-message');
    var ok = document.createElement('button');
    ok.type = 'button';
    ok.textContent = PK.text(okPtr, okLen);
    ok.addEventListener('click', function() {
      dialog.close();
    });
    dialog.addEventListener('close', function() {
      dialog.remove();
    });
    dialog.appendChild(title);
    dialog.appendChild(message);
    dialog.appendChild(ok);
    document.body.appendChild(dialog);
    dialog.showModal();
    ok.focus();
  },

  pk_end__deps: ['$PK'],
  pk_end: function(endedPtr, endedLen) {
    if (PK.ended) return;
    PK.ended = true;
    for (var key in PK.timers) clearInterval(PK.timers[key]);
    PK.timers = {};
    var holder = PK.root ? PK.root.parentNode : null;
    if (holder) holder.remove();
    if (PK.live) PK.live.textContent = '';
    var note = document.createElement('p');
    note.className = 'pk-ended';
    note.setAttribute('role', 'status');
    note.textContent = PK.text(endedPtr, endedLen);
    (document.getElementById('pirokko-holder') || document.body).appendChild(note);
    PK.root = null;
    PK.els = [null];
  },

  // Fetches each named file from beside the page and hands its bytes to the
  // engine; a file the site does not have is left out. `first` are the files
  // the game reads as it starts: once they are in, it starts, and the
  // player's clicks wait for the rest.
  pk_fetch__deps: ['$PK'],
  pk_fetch: function(firstPtr, restPtr) {
    var split = function(ptr) {
      return UTF8ToString(ptr).split('\n').filter(function(n) { return n; });
    };
    var bytesOf = function(name) {
      // The page may have asked for it already, while the engine loaded.
      var early = PK.takeEarly(name);
      return (early ? early.read : pirokkoRead(fetch(name))).then(function(read) {
        return read && read.data;
      });
    };
    var layDown = function(name, bytes) {
      if (!bytes) return;
      var data = _malloc(bytes.length || 1);
      HEAPU8.set(bytes, data);
      var path = allocateUTF8(name);
      Module['_pk_file_arrived'](path, data, bytes.length);
      _free(path);
      _free(data);
    };
    var first = split(firstPtr), rest = split(restPtr);
    PK.held = [];
    var fetchAll = function(names) {
      return Promise.all(names.map(function(name) {
        return bytesOf(name).then(function(buffer) { layDown(name, buffer); });
      }));
    };
    fetchAll(first).then(function() {
      Module['_pk_files_ready']();
      // The rest are asked for once the opening is on the screen: sixteen
      // requests and their answers, handled sooner, hold up its first frame.
      return new Promise(PK.whenPainted);
    }).then(function() {
      return fetchAll(rest);
    }).then(function() {
      var held = PK.held;
      PK.held = null;
      held.forEach(function(id) { Module['_pk_event_click'](id); });
    });
  },

  // Code page 932 as the desktop decodes it (cp932.js, ahead of the engine).
  pk_cp932: function(bytes, length, out, report) {
    var r = {};
    var units = decodeCp932Units(HEAPU8.subarray(bytes, bytes + length), r);
    HEAPU16.set(units, out >> 1);
    HEAPU32[report >> 2] = r.invalidCount;
    HEAPU32[(report >> 2) + 1] = r.firstInvalidOffset;
    return units.length;
  },

  pk_language: function() {
    var langs = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language || ''];
    return /^ja\b/i.test(langs[0] || '') ? 1 : 0;
  },
};

mergeInto(LibraryManager.library, LibraryPirokko);

// The music: fetches of the site's wave files in pieces (HTTP Range
// requests, or the whole answer skipped through when the site ignores them),
// and one AudioContext per opened sound, at the sound's own rate, where the
// engine queues slices of it at exact frames of the context's clock.
//
// A page given `window.pirokkoAudioTap = {}` before the engine loads is under
// test: each context also feeds a recorder (an AudioWorklet) that keeps what
// the page renders, frame by frame, in `chunks` as [frame, channel arrays],
// and the frame each slice was queued at in `starts`.
var LibraryPirokkoAudio = {
  $PKA: {
    fetches: {},
    outputs: {},
    gestured: false,
    // The page's Web Audio, where it has one.
    context: function() {
      return window.AudioContext || window.webkitAudioContext;
    },
    // Plays `buffer` from frame `at` of the output's clock.
    start: function(out, buffer, at) {
      var now = out.ctx.currentTime * out.ctx.sampleRate;
      out.sources = out.sources.filter(function(s) { return s.end > now; });
      var source = out.ctx.createBufferSource();
      source.buffer = buffer;
      source.connect(out.into);
      source.start(at / out.ctx.sampleRate);
      out.sources.push({node: source, end: at + buffer.length});
      if (window.pirokkoAudioTap) window.pirokkoAudioTap.starts.push(at);
    },
    // Hands the pending piece of a fetch to the engine, or reads the next.
    flow: function(f) {
      if (f.dead || f.busy || !f.want) return;
      if (f.piece && f.piece.length) {
        var n = Math.min(f.want, f.piece.length);
        var at = Module['_pk_audio_space'](f.key, f.generation, n);
        if (!at) {
          PKA.stopFetch(f);
          return;
        }
        HEAPU8.set(f.piece.subarray(0, n), at);
        f.piece = f.piece.subarray(n);
        f.want = 0;
        Module['_pk_audio_arrived'](f.key, f.generation, n, 0);
        return;
      }
      if (!f.reader) return;
      f.busy = true;
      f.reader.read().then(function(r) {
        f.busy = false;
        if (f.dead) return;
        if (r.done) {
          if (f.total > f.at) return PKA.request(f);  // the next span
          return PKA.finish(f);
        }
        var bytes = r.value;
        if (f.skip) {
          var k = Math.min(f.skip, bytes.length);
          f.skip -= k;
          bytes = bytes.subarray(k);
        }
        f.at += bytes.length;
        f.piece = bytes;
        PKA.flow(f);
      }, function() {
        f.busy = false;
        if (!f.dead) PKA.finish(f);
      });
    },
    // Chromium reads an answer's body into the page as fast as the site
    // sends it, whether or not the page reads it: each request asks for a
    // span of the file only, so that no more than a span is ever waiting.
    span: 1 << 20,
    request: function(f) {
      f.reader = null;
      // Not through the browser's cache: each pass reads the file once
      // anyway, and with it, answers from a site that ignores ranges (cut
      // short by us each time) came back shifted by a few hundred frames in
      // one run of five.
      var range = 'bytes=' + f.at + '-' + (f.at + PKA.span - 1);
      fetch(f.name, {headers: {'Range': range}, cache: 'no-store'}).then(function(response) {
        if (f.dead) return response.body && response.body.cancel().catch(function() {});
        if (response.status === 206) {
          var start = /bytes\s+(\d+)-/.exec(response.headers.get('Content-Range') || '');
          if (!start || +start[1] !== f.at) return PKA.finish(f);
          f.total = PKA.lengthOf(response);
        } else if (response.status === 200) {
          // The whole file, from its start: skipped through to the span.
          f.skip = f.at;
          f.total = -1;
        } else {
          return PKA.finish(f);  // beyond the end (416), or gone
        }
        f.reader = response.body.getReader();
        PKA.flow(f);
      }, function() {
        PKA.finish(f);
      });
    },
    finish: function(f) {
      if (f.dead) return;
      f.dead = true;
      Module['_pk_audio_arrived'](f.key, f.generation, 0, 1);
    },
    stopFetch: function(f) {
      f.dead = true;
      if (f.reader) f.reader.cancel().catch(function() {});
      if (PKA.fetches[f.key] === f) delete PKA.fetches[f.key];
    },
    // The whole length a response tells of its file, or -1.
    lengthOf: function(response) {
      var range = /\/(\d+)\s*$/.exec(response.headers.get('Content-Range') || '');
      if (range) return +range[1];
      var length = response.headers.get('Content-Length');
      return response.status === 200 && length !== null ? +length : -1;
    },
    // The test recorder, before anything is queued in `out`.
    tap: function(out) {
      var record = window.pirokkoAudioTap;
      var ctx = out.ctx;
      // Each call is the next quantum: its frame is counted from the first
      // call's, not read from `currentFrame`, which Chromium has been seen to
      // hold for several quanta running when the output renders ahead in
      // large bursts (which put those quanta over one another in the record).
      var code = 'registerProcessor("pk-tap", class extends AudioWorkletProcessor {' +
        'process(inputs) { var i = inputs[0];' +
        'this.at = this.at === undefined ? currentFrame : this.at + 128;' +
        'if (i.length) this.port.postMessage([this.at, i.map(function(c) { return c.slice(); })]);' +
        'return true; } });';
      record.chunks = record.chunks || [];
      record.starts = record.starts || [];
      record.rate = ctx.sampleRate;
      out.held = true;
      ctx.suspend();
      ctx.audioWorklet.addModule(URL.createObjectURL(new Blob([code], {type: 'text/javascript'})))
        .then(function() {
          var node = new AudioWorkletNode(ctx, 'pk-tap', {numberOfInputs: 1, numberOfOutputs: 1,
            channelCount: out.channels, channelCountMode: 'explicit', channelInterpretation: 'discrete'});
          node.port.onmessage = function(e) { record.chunks.push(e.data); };
          out.into.connect(node);
          node.connect(ctx.destination);
          out.held = false;
          record.ready = true;
          // Runs at once where the page may sound, else at the first gesture.
          ctx.resume().catch(function() {});
        });
    },
  },

  pk_audio_prefetch__deps: ['$PKA', '$PK'],
  pk_audio_prefetch: function(namePtr, bytes) {
    var name = UTF8ToString(namePtr);
    var done = function(data, length, found) {
      var at = _malloc(data.length || 1);
      HEAPU8.set(data, at);
      var n = allocateUTF8(name);
      Module['_pk_audio_head'](n, at, data.length, length, found);
      _free(n);
      _free(at);
    };
    // The page may have asked for this very head already, while the engine
    // loaded (index.html): that answer is taken instead of asking again.
    var early = PK.takeEarly(name);
    var read = early && early.bytes === bytes ? early.read :
        pirokkoRead(fetch(name, {headers: {'Range': 'bytes=0-' + (bytes - 1)}}), bytes);
    read.then(function(read) {
      if (!read) return done(new Uint8Array(0), 0, 0);
      var response = read.response;
      // No byte to give: an empty file.
      if (response.status === 416) return done(new Uint8Array(0), PKA.lengthOf(response), 1);
      if (!read.data) return done(new Uint8Array(0), 0, 0);
      var length = PKA.lengthOf(response);
      done(read.data, length < 0 && read.whole ? read.data.length : length, 1);
    });
  },

  pk_audio_fetch__deps: ['$PKA'],
  pk_audio_fetch: function(key, namePtr, offset, generation) {
    if (PKA.fetches[key]) PKA.stopFetch(PKA.fetches[key]);
    var f = {key: key, generation: generation, name: UTF8ToString(namePtr), at: offset, total: -1,
             want: 0, skip: 0, piece: null, reader: null};
    PKA.fetches[key] = f;
    PKA.request(f);
  },

  pk_audio_pull__deps: ['$PKA'],
  pk_audio_pull: function(key, generation, bytes) {
    var f = PKA.fetches[key];
    if (!f || f.generation !== generation) return;
    f.want = bytes;
    // Never within the engine's own call.
    Promise.resolve().then(function() { PKA.flow(f); });
  },

  pk_audio_fetch_end__deps: ['$PKA'],
  pk_audio_fetch_end: function(key) {
    if (PKA.fetches[key]) PKA.stopFetch(PKA.fetches[key]);
  },

  pk_audio_when_line_shown__deps: ['$PK'],
  pk_audio_when_line_shown: function() {
    PK.whenPainted(function() { Module['_pk_audio_line_shown'](); });
  },

  pk_audio_can_play__deps: ['$PKA'],
  pk_audio_can_play: function() {
    return PKA.context() ? 1 : 0;
  },

  pk_audio_open__deps: ['$PKA', '$PK'],
  pk_audio_open: function(key, rate, channels) {
    var Context = PKA.context();
    // Nothing is heard before the player's first gesture, so the first line
    // need not wait for an AudioContext: the engine asks again.
    if (!Context || !PK.painted) return 0;
    try {
      var ctx = new Context({sampleRate: rate, latencyHint: 0.1});
      ctx.createBuffer(channels, 1, rate);
      var out = {ctx: ctx, into: ctx.destination, channels: channels, sources: [], held: false, kept: {}};
      PKA.outputs[key] = out;
      if (window.pirokkoAudioTap) {
        // The tests listen at a node that everything passes through.
        out.into = ctx.createGain();
        out.into.connect(ctx.destination);
        PKA.tap(out);
      } else if (PKA.gestured) {
        ctx.resume();
      }
      return 1;
    } catch (e) {
      return 0;
    }
  },

  pk_audio_close__deps: ['$PKA'],
  pk_audio_close: function(key) {
    var out = PKA.outputs[key];
    if (!out) return;
    delete PKA.outputs[key];
    out.ctx.close().catch(function() {});
  },

  pk_audio_lead__deps: ['$PKA'],
  pk_audio_lead: function(key) {
    var out = PKA.outputs[key];
    // The output renders a burst of about this many frames at a time: a
    // start less than two bursts ahead of its clock may be behind it by the
    // time the start is made.
    return out ? Math.ceil(2 * (out.ctx.baseLatency || 0) * out.ctx.sampleRate) : 0;
  },

  pk_audio_now__deps: ['$PKA'],
  pk_audio_now: function(key) {
    var out = PKA.outputs[key];
    return out ? Math.round(out.ctx.currentTime * out.ctx.sampleRate) : 0;
  },

  pk_audio_schedule__deps: ['$PKA'],
  pk_audio_schedule: function(key, samples, frames, at, kept) {
    var out = PKA.outputs[key];
    if (!out) return;
    var ctx = out.ctx, channels = out.channels, buffer;
    try {
      buffer = ctx.createBuffer(channels, frames, ctx.sampleRate);
    } catch (e) {
      return;
    }
    var from = samples >> 2;
    for (var c = 0; c < channels; c++) {
      buffer.copyToChannel(HEAPF32.subarray(from + c * frames, from + (c + 1) * frames), c);
    }
    if (kept >= 0) out.kept[kept + ':' + frames] = buffer;
    PKA.start(out, buffer, at);
  },

  pk_audio_schedule_kept__deps: ['$PKA'],
  pk_audio_schedule_kept: function(key, kept, frames, at) {
    var out = PKA.outputs[key];
    var buffer = out && out.kept[kept + ':' + frames];
    if (!buffer) return 0;
    PKA.start(out, buffer, at);
    return 1;
  },

  pk_audio_drop__deps: ['$PKA'],
  pk_audio_drop: function(key) {
    var out = PKA.outputs[key];
    if (!out) return;
    out.sources.forEach(function(s) {
      try { s.node.stop(); } catch (e) {}
    });
    out.sources = [];
  },

  pk_audio_resume__deps: ['$PKA'],
  pk_audio_resume: function() {
    PKA.gestured = true;
    for (var key in PKA.outputs) {
      var out = PKA.outputs[key];
      if (!out.held && out.ctx.state === 'suspended') out.ctx.resume().catch(function() {});
    }
  },
};

mergeInto(LibraryManager.library, LibraryPirokkoAudio);
