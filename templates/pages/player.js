/* Cuemark player: plays the lecture in the browser and turns the slide pages with it.
 * Written into every page at build time after the file readers (CuemarkFiles); it needs
 * nothing from elsewhere. Without it, or where it cannot play, the pages stay plain links. */
(function (F) {
    'use strict';

    var MSG = {
        file: 'Opened as a file: serve this folder over http to hear the lecture.',
        noRam: 'No metafile (NAME) beside this page: there is nothing to play.',
        badRam: 'The metafile (NAME) gives no audio URL with start and end times: there is nothing to play.',
        noPlay: 'The lecture\'s audio (URL) cannot be played in a web browser.',
        noEvents: 'No event list (cevents.txt) beside this page: the slides cannot follow the audio.',
        ready: 'Play from here, or press P, to hear the lecture from this slide.',
        gesture: 'Press Play from here, or P, to start the audio.',
        audioFailed: 'The lecture\'s audio (URL) could not be loaded.',
        wholeFile: 'This server cannot seek: loading the whole audio file first.',
        ended: 'End of the lecture.',
        badImages: 'Skipped N image addresses that cannot be read.'
    };
    // Formats a browser can play; RealAudio and anything unknown to it are refused.
    var AUDIO_TYPES = {
        mp3: 'audio/mpeg', ogg: 'audio/ogg', oga: 'audio/ogg', opus: 'audio/ogg; codecs=opus',
        wav: 'audio/wav', m4a: 'audio/mp4', mp4: 'audio/mp4', aac: 'audio/aac',
        webm: 'audio/webm', flac: 'audio/flac'
    };
    // Seconds a seek may land short of its target (frame rounding of compressed audio).
    var SEEK_SLACK = 0.5;
    // A horizontal move this long on a touch screen turns the slide.
    var SWIPE = 50;
    var TRANSCRIPT_FILE = 'captions.vtt';
    var CUES_PER_TASK = 2000;
    // The transcript holds this many cues at a time, around where the listener is.
    var CUE_WINDOW = 200, CUE_STEP = 50;

    function byId(id) {
        return document.getElementById(id);
    }

    function slideFile(n) {
        return 'sld' + F.nnn(n) + '.htm';
    }

    function none() {
        return [];
    }

    // Read in the character set the pages declare, as the browser reads the page itself.
    function fetchText(url) {
        return fetch(url).then(function (response) {
            if (!response.ok) throw new Error(response.status + ' ' + url);
            return response.arrayBuffer();
        }).then(function (bytes) {
            return new TextDecoder(document.characterSet || 'utf-8').decode(bytes);
        });
    }

    // Speed and the last position, kept per presentation folder in this browser.
    var store = {
        key: 'cuemark:' + location.pathname.replace(/[^/]*$/, '') + ':',
        get: function (name) {
            try {
                return JSON.parse(localStorage.getItem(this.key + name));
            } catch (e) {
                return null;
            }
        },
        set: function (name, value) {
            try {
                localStorage.setItem(this.key + name, JSON.stringify(value));
            } catch (e) {
                // A browser that keeps nothing plays all the same.
            }
        }
    };

    // The event file first, and only from beside the pages; the event list when there is
    // none or it holds no cue.
    function loadCues(audioUrl) {
        var name = F.eventFileName(audioUrl);
        var fromEventFile = name ?
            fetchText(encodeURIComponent(name)).then(F.parseWebVtt, none) : Promise.resolve([]);
        return fromEventFile.then(function (cues) {
            cues = F.pageCues(cues);
            if (cues.length) return cues;
            return fetchText('cevents.txt').then(function (text) {
                return F.pageCues(F.parseEventList(text));
            }, none);
        });
    }

    // Read a part at a time between other work, so a long caption file never holds up a
    // click; in the order they are said.
    function loadTranscript() {
        return fetchText(TRANSCRIPT_FILE).then(function (text) {
            var reader = new F.WebVttReader(text), cues = [];
            return new Promise(function (resolve) {
                (function part() {
                    cues.push.apply(cues, reader.read(CUES_PER_TASK));
                    if (!reader.done) return setTimeout(part, 0);
                    resolve(cues.sort(function (a, b) {
                        return a.start - b.start;
                    }));
                })();
            });
        }, none);
    }

    // Slide titles from the index page's table, by page number.
    function loadTitles() {
        return fetchText('index.htm').then(function (text) {
            var doc = new DOMParser().parseFromString(text, 'text/html');
            var titles = {};
            Array.prototype.forEach.call(doc.querySelectorAll('td a[href]'), function (a) {
                var n = F.slideNumber(a.getAttribute('href'));
                if (n) titles[n] = a.textContent.trim();
            });
            return titles;
        }, function () {
            return {};
        });
    }

    function playable(url) {
        if (!/^https?:$/.test(url.protocol)) return false;
        var name = F.fileName(url.pathname).toLowerCase();
        var dot = name.lastIndexOf('.');
        var ext = dot < 0 ? '' : name.slice(dot + 1);
        if (/^(ra|rm|ram|rpm|rv|rmvb)$/.test(ext)) return false;
        var type = AUDIO_TYPES[ext];
        return !type || document.createElement('audio').canPlayType(type) !== '';
    }

    function say(el, text) {
        if (el) el.textContent = text;
    }

    function element(tag, className, text) {
        var el = document.createElement(tag);
        if (className) el.className = className;
        if (text) el.textContent = text;
        return el;
    }

    /* ---- Slide pages ---- */

    function SlidePage() {
        this.el = {
            prev: byId('cm-prev'), next: byId('cm-next'), play: byId('cm-play'), image: byId('cm-slide'),
            heading: byId('cm-heading'), status: byId('cm-status'), live: byId('cm-live'),
            audio: byId('cm-audio'), caption: byId('cm-caption'), controls: byId('cm-controls'),
            speed: byId('cm-speed'), full: byId('cm-full'), resume: byId('cm-resume'),
            transcript: byId('cm-transcript'), cueList: byId('cm-cues')
        };
        this.el.ram = this.el.play;
        this.shown = F.slideNumber(location.pathname);
        this.count = 0;
        this.titles = {};
        this.cues = [];
        this.spoken = [];
        this.pages = {};
        this.metafiles = {};
        this.ready = false;
        this.started = false;
        this.armed = false;
        this.target = null;
        this.wholeFile = false;
        this.savedAt = 0;
    }

    SlidePage.prototype.status = function (text, state) {
        say(this.el.status, text);
        document.body.setAttribute('data-cm-state', state);
    };

    SlidePage.prototype.start = function () {
        var self = this;
        document.addEventListener('keydown', function (e) {
            self.key(e);
        });
        [['prev', -1], ['next', 1]].forEach(function (pair) {
            var link = self.el[pair[0]];
            if (link) link.addEventListener('click', function (e) {
                if (self.seekToSlide(self.shown + pair[1])) e.preventDefault();
            });
        });
        if (!/^https?:$/.test(location.protocol)) {
            this.status(MSG.file, 'plain');
            return;
        }
        // A page made from other templates keeps its own links.
        if (!this.el.play || !this.el.image || !this.shown) {
            this.status('', 'plain');
            return;
        }
        this.swipes();
        // Each page carries its own title as the image's text; the index has them all.
        if (this.el.image.alt) this.titles[this.shown] = this.el.image.alt;
        this.label(this.shown);
        loadTitles().then(function (titles) {
            for (var n in titles) self.titles[n] = titles[n];
            self.count = Object.keys(titles).length;
            self.label(self.shown);
            self.hideMissingNeighbours();
        });
        var spoken = loadTranscript();
        var ramName = F.fileName(this.el.play.getAttribute('href') || '');
        this.loadMetafile(this.shown, this.el.play.href).then(function (meta) {
            if (!meta) return self.status(F.fill(meta === null ? MSG.badRam : MSG.noRam, 'NAME', ramName), 'plain');
            try {
                self.audioUrl = new URL(meta.url, self.el.play.href);
            } catch (e) {
                self.audioUrl = null;
            }
            if (!self.audioUrl || !playable(self.audioUrl))
                return self.status(F.fill(MSG.noPlay, 'URL', meta.url), 'plain');
            return loadCues(meta.url).then(function (cues) {
                if (!cues.length) return self.status(MSG.noEvents, 'plain');
                self.cues = cues;
                self.becomeReady(meta);
            });
        }).then(function () {
            return spoken;
        }).then(function (cues) {
            self.showTranscript(cues);
        });
    };

    // The audio is set up before any click, at this slide's start or the time the address
    // asks for, so that a click has only to start it.
    SlidePage.prototype.becomeReady = function (meta) {
        var self = this;
        this.ready = true;
        this.end = meta.end;
        this.playButton();
        this.controls();
        this.status(MSG.ready, 'ready');
        var asked = F.hashTime(location.hash);
        var cue = asked === null ? null : this.cueAt(asked);
        var here = cue ? asked : meta.start;
        this.seek(here);
        if (cue && cue.n !== this.shown) this.show(cue.n, cue.start);
        else if (cue) this.setAddress(cue.start);
        this.offerResume(asked, here);
        window.addEventListener('hashchange', function () {
            var t = F.hashTime(location.hash);
            if (t !== null) self.playAt(t, F.hashPlays(location.hash));
        });
        if (cue && F.hashPlays(location.hash)) this.toggle();
    };

    // "Play from here" becomes a button that plays and pauses; the link stays the place
    // the page's metafile is read from.
    SlidePage.prototype.playButton = function () {
        var link = this.el.play, button = element('button', 'cm-play');
        var icon = link.querySelector('img');
        button.type = 'button';
        if (icon) button.appendChild(icon.cloneNode(false));
        this.el.playLabel = button.appendChild(element('span', '', 'Play from here'));
        link.removeAttribute('id');
        link.parentNode.replaceChild(button, link);
        button.id = 'cm-play';
        this.el.play = button;
        var self = this;
        button.addEventListener('click', function () {
            self.toggle();
        });
    };

    SlidePage.prototype.plainLink = function () {
        var button = this.el.play, link = this.el.ram;
        if (button === link) return;
        button.removeAttribute('id');
        button.parentNode.replaceChild(link, button);
        link.id = 'cm-play';
        this.el.play = link;
        if (this.el.controls) this.el.controls.hidden = true;
    };

    SlidePage.prototype.controls = function () {
        var self = this, speed = this.el.speed, full = this.el.full;
        if (!this.el.controls) return;
        this.el.controls.hidden = false;
        var kept = store.get('speed');
        if (speed && kept && speed.querySelector('option[value="' + Number(kept) + '"]'))
            speed.value = String(Number(kept));
        if (speed) speed.addEventListener('change', function () {
            store.set('speed', speed.value);
            self.applySpeed();
        });
        if (full && !document.fullscreenEnabled) full.hidden = true;
        else if (full) full.addEventListener('click', function () {
            self.fullScreen();
        });
        document.addEventListener('fullscreenchange', function () {
            var on = !!document.fullscreenElement;
            document.body.classList.toggle('cm-full', on);
            say(full, on ? 'Leave full screen' : 'Full screen');
        });
    };

    SlidePage.prototype.applySpeed = function () {
        var a = this.el.audio, rate = this.el.speed ? Number(this.el.speed.value) : 1;
        if (!a || !(rate > 0)) return;
        a.preservesPitch = true;
        a.defaultPlaybackRate = rate;
        a.playbackRate = rate;
    };

    SlidePage.prototype.fullScreen = function () {
        if (document.fullscreenElement) document.exitFullscreen();
        else document.documentElement.requestFullscreen().catch(function () {});
    };

    // Where this browser last was in the lecture, when that is not here.
    SlidePage.prototype.offerResume = function (asked, here) {
        var last = store.get('position'), link = this.el.resume;
        if (!link || asked !== null || !last) return;
        var n = Number(last.n), t = Number(last.t);
        if (!(n >= 1 && n <= 999 && n === Math.floor(n) && t >= 0 && t <= F.MAX_TIME)) return;
        if (n === this.shown && Math.abs(t - here) < 2) return;
        var self = this;
        link.setAttribute('href', slideFile(n) + '#t=' + Math.floor(t) + '&play');
        link.textContent = 'Resume at ' + F.formatClock(t) + ' (page ' + n + ')';
        link.hidden = false;
        link.addEventListener('click', function (e) {
            if (n !== self.shown) return;
            e.preventDefault();
            self.playAt(t, true);
        });
    };

    SlidePage.prototype.remember = function (force) {
        var a = this.el.audio, now = Date.now();
        if (!this.started || (!force && now - this.savedAt < 2000)) return;
        this.savedAt = now;
        // A lecture heard to its end leaves nothing to resume.
        store.set('position', a.ended ? null : { n: this.shown, t: Math.floor(a.currentTime * 10) / 10 });
    };

    // The lecture's cues as a transcript beside the slide and a caption under it.
    SlidePage.prototype.showTranscript = function (cues) {
        var self = this, list = this.el.cueList;
        if (!cues.length || !list || !this.el.transcript) return;
        this.spoken = cues;
        this.cueList = new CueList(list, cues, this.ready ? function (cue) {
            self.playAt(cue.start, true);
        } : null);
        this.el.transcript.hidden = false;
        if (this.el.caption) this.el.caption.hidden = false;
        document.body.setAttribute('data-cm-transcript', 'shown');
        this.markCue();
    };

    SlidePage.prototype.markCue = function () {
        if (!this.spoken.length) return;
        var a = this.el.audio, t = a ? a.currentTime : 0;
        if (this.target !== null) t = this.target;
        var at = F.cueIndexAt(this.spoken, t);
        if (at === this.cueShown) return;
        this.cueShown = at;
        say(this.el.caption, at < 0 ? '' : this.spoken[at].text);
        this.cueList.mark(at);
    };

    // A window of the transcript's cues in the panel: scrolling near either end brings in
    // more and lets go of the far end, so a long transcript costs a screenful.
    function CueList(list, cues, pick) {
        var self = this;
        this.list = list;
        this.cues = cues;
        this.pick = pick;
        this.from = this.to = 0;
        this.marked = -1;
        list.addEventListener('scroll', function () {
            self.extend();
        });
        this.place(0);
    }

    CueList.prototype.item = function (i) {
        var cue = this.cues[i], pick = this.pick, item = element('li');
        var holder = element(pick ? 'button' : 'span', 'cm-cue');
        holder.appendChild(element('span', 'cm-time', F.formatClock(cue.start)));
        holder.appendChild(document.createTextNode(' ' + cue.text));
        if (pick) {
            holder.type = 'button';
            holder.addEventListener('click', function () {
                pick(cue);
            });
        }
        item.appendChild(holder);
        if (i === this.marked) item.setAttribute('aria-current', 'true');
        item.setAttribute('data-cm-cue', String(i));
        return item;
    };

    CueList.prototype.range = function (from, to) {
        var part = document.createDocumentFragment();
        for (var i = from; i < to; i++) part.appendChild(this.item(i));
        return part;
    };

    // The window begins a step before the cue `at`.
    CueList.prototype.place = function (at) {
        this.from = Math.max(0, Math.min(at - CUE_STEP, this.cues.length - CUE_WINDOW));
        this.to = Math.min(this.cues.length, this.from + CUE_WINDOW);
        this.list.textContent = '';
        this.list.appendChild(this.range(this.from, this.to));
    };

    CueList.prototype.extend = function () {
        var list = this.list, near = list.clientHeight;
        if (list.scrollTop + 2 * near >= list.scrollHeight && this.to < this.cues.length) {
            var more = Math.min(this.cues.length, this.to + CUE_STEP);
            list.appendChild(this.range(this.to, more));
            this.to = more;
            while (this.to - this.from > CUE_WINDOW) {
                var first = list.firstChild, height = first.offsetHeight;
                list.removeChild(first);
                list.scrollTop -= height;
                this.from++;
            }
        } else if (list.scrollTop <= near && this.from > 0) {
            var less = Math.max(0, this.from - CUE_STEP), before = list.scrollHeight;
            list.insertBefore(this.range(less, this.from), list.firstChild);
            list.scrollTop += list.scrollHeight - before;
            this.from = less;
            while (this.to - this.from > CUE_WINDOW) {
                list.removeChild(list.lastChild);
                this.to--;
            }
        }
    };

    CueList.prototype.mark = function (at) {
        var list = this.list, old = list.querySelector('[aria-current]');
        if (old) old.removeAttribute('aria-current');
        this.marked = at;
        if (at < 0) return;
        if (at < this.from || at >= this.to) this.place(at);
        var item = list.children[at - this.from];
        item.setAttribute('aria-current', 'true');
        // Only the panel scrolls: the slide stays where the listener looks.
        list.scrollTop = item.offsetTop - (list.clientHeight - item.offsetHeight) / 2;
    };

    // The metafile read (null when it makes no sense, undefined when it cannot be had).
    SlidePage.prototype.loadMetafile = function (n, url) {
        if (!this.metafiles[n]) {
            this.metafiles[n] = fetchText(url).then(F.parseMetafile, function () {
                return undefined;
            });
        }
        return this.metafiles[n];
    };

    // What a slide page shows, read from that page itself so the templates stay in charge.
    SlidePage.prototype.loadPage = function (n) {
        if (!this.pages[n]) {
            var url = new URL(slideFile(n), location.href).href;
            this.pages[n] = fetchText(url).then(function (text) {
                var doc = new DOMParser().parseFromString(text, 'text/html');
                function link(id) {
                    var a = doc.getElementById(id);
                    var target = a && a.getAttribute('href');
                    return { href: target, hidden: !a || a.hidden || !target };
                }
                var image = doc.getElementById('cm-slide');
                var play = doc.getElementById('cm-play');
                return {
                    image: image ? image.getAttribute('src') : null,
                    title: image ? image.getAttribute('alt') : '',
                    prev: link('cm-prev'),
                    next: link('cm-next'),
                    ram: play ? play.getAttribute('href') : 'tsld' + F.nnn(n) + '.ram'
                };
            });
        }
        return this.pages[n];
    };

    SlidePage.prototype.title = function (n) {
        return this.titles[n] || 'Slide ' + n;
    };

    // Named as the deck numbers the slide (its image), placed as the lecture pages it.
    SlidePage.prototype.label = function (n) {
        var title = this.title(n), deck = F.deckNumber(this.el.image.getAttribute('src'));
        var place = 'page ' + n + (this.count ? ' of ' + this.count : '');
        this.el.image.alt = title;
        say(this.el.heading, (deck ? 'Slide ' + deck : 'Pause') + ': ' + title + ' (' + place + ')');
        document.title = title + ' (' + (deck ? 'slide ' + deck + ', ' : '') + place + ')';
    };

    // A one-slide lecture's first page links a next page that was never written.
    SlidePage.prototype.hideMissingNeighbours = function () {
        if (!this.count) return;
        var prev = this.el.prev, next = this.el.next;
        if (prev && this.shown <= 1) prev.hidden = true;
        if (next && this.shown >= this.count) next.hidden = true;
    };

    SlidePage.prototype.setLink = function (a, link) {
        if (!a) return;
        if (link.href) a.setAttribute('href', link.href);
        else a.removeAttribute('href');
        a.hidden = link.hidden;
    };

    // The address names the slide shown and its start, so a copied address opens it.
    SlidePage.prototype.setAddress = function (start) {
        var address = slideFile(this.shown) + '#t=' + Math.round(start * 10) / 10;
        if (this.turning || location.href.slice(-address.length) === address) return;
        history.replaceState(history.state, '', address);
    };

    // Turns the page in place: image, links, title and address follow the audio.
    SlidePage.prototype.show = function (n, start) {
        if (n === this.shown) return;
        var self = this;
        this.shown = n;
        this.turning = true;
        this.loadPage(n).then(function (page) {
            if (self.shown !== n) return;
            self.turning = false;
            if (page.title && !self.titles[n]) self.titles[n] = page.title;
            // Every page lies in this folder, so its relative links hold here too.
            if (page.image) self.el.image.setAttribute('src', page.image);
            self.setLink(self.el.prev, page.prev);
            self.setLink(self.el.next, page.next);
            self.el.ram.setAttribute('href', page.ram);
            self.setAddress(start);
            self.label(n);
            self.hideMissingNeighbours();
            say(self.el.live, 'Slide ' + n + ': ' + self.title(n));
            document.body.setAttribute('data-cm-shown', String(n));
        }, function () {
            if (self.shown === n) {
                self.turning = false;
                self.shown = F.slideNumber(location.pathname);
            }
        });
    };

    // The last cue that has begun: in the gap after a cue its slide stays.
    SlidePage.prototype.cueAt = function (t) {
        var lo = 0, hi = this.cues.length - 1, found = null;
        while (lo <= hi) {
            var mid = (lo + hi) >> 1;
            if (this.cues[mid].start <= t + 0.001) {
                found = this.cues[mid];
                lo = mid + 1;
            } else {
                hi = mid - 1;
            }
        }
        return found;
    };

    SlidePage.prototype.firstCueOf = function (n) {
        for (var i = 0; i < this.cues.length; i++)
            if (this.cues[i].n === n) return this.cues[i];
        return null;
    };

    SlidePage.prototype.audio = function () {
        var self = this, a = this.el.audio;
        if (!a) {
            a = this.el.audio = document.createElement('audio');
            a.controls = true;
            a.className = 'cm-audio';
            a.setAttribute('aria-label', 'Lecture audio');
            this.el.image.parentNode.insertBefore(a, this.el.image.nextSibling);
        }
        if (!this.started) {
            this.started = true;
            a.hidden = false;
            // Enough before the click to start at once; the rest once playing is asked for.
            a.preload = 'metadata';
            a.src = this.audioUrl.href;
            this.applySpeed();
            ['timeupdate', 'seeking', 'seeked'].forEach(function (type) {
                a.addEventListener(type, function () {
                    self.follow();
                });
            });
            a.addEventListener('loadedmetadata', function () {
                self.applySeek();
            });
            a.addEventListener('playing', function () {
                self.status('', 'playing');
                say(self.el.playLabel, 'Pause');
                if (self.el.resume) self.el.resume.hidden = true;
            });
            a.addEventListener('pause', function () {
                say(self.el.playLabel, 'Play from here');
                self.remember(true);
            });
            window.addEventListener('pagehide', function () {
                if (!a.paused) self.remember(true);
            });
            a.addEventListener('ended', function () {
                self.status(MSG.ended, 'ready');
            });
            // Audio that will not load leaves the page to its plain links.
            a.addEventListener('error', function () {
                if (self.wholeFile) return;
                self.ready = false;
                a.hidden = true;
                self.plainLink();
                self.status(F.fill(MSG.audioFailed, 'URL', self.audioUrl.href), 'plain');
            });
        }
        return a;
    };

    SlidePage.prototype.follow = function () {
        var a = this.el.audio, t = a.currentTime;
        this.markCue();
        if (this.target !== null) return;
        if (t >= this.end && !a.paused) a.pause();
        var cue = this.cueAt(t);
        if (cue && cue.n !== this.shown) this.show(cue.n, cue.start);
        else if (cue) this.setAddress(cue.start);
        if (!a.paused) this.remember(false);
    };

    SlidePage.prototype.seek = function (t) {
        var a = this.audio();
        this.target = t;
        if (a.readyState >= 1) this.applySeek();
    };

    // A server without byte ranges leaves nothing to seek in until the audio is in: the
    // browser keeps the time at the start. Once playing is asked for, the whole file is
    // loaded once, and a file in memory seeks anywhere.
    SlidePage.prototype.applySeek = function () {
        if (this.target === null) return;
        var a = this.el.audio;
        a.currentTime = this.target;
        if (Math.abs(a.currentTime - this.target) < SEEK_SLACK || this.wholeFile) {
            this.target = null;
            this.follow();
        } else if (this.armed) {
            this.loadWholeFile();
        }
    };

    SlidePage.prototype.loadWholeFile = function () {
        var self = this, a = this.el.audio;
        var resume = this.armed;
        this.wholeFile = true;
        a.pause();
        this.status(MSG.wholeFile, 'loading');
        fetch(this.audioUrl.href).then(function (response) {
            if (!response.ok) throw new Error(String(response.status));
            return response.blob();
        }).then(function (blob) {
            a.src = URL.createObjectURL(blob);
            self.applySpeed();
            if (resume) self.play();
        }).catch(function () {
            self.target = null;
            self.status(F.fill(MSG.audioFailed, 'URL', self.audioUrl.href), 'ready');
        });
    };

    SlidePage.prototype.play = function () {
        var self = this, a = this.audio();
        this.armed = true;
        a.preload = 'auto';
        if (this.target !== null && a.readyState >= 1) this.applySeek();
        if (this.wholeFile && a.src.indexOf('blob:') !== 0) return;
        var pending = a.play();
        if (pending && pending.catch) pending.catch(function (e) {
            if (e && e.name === 'NotAllowedError') self.status(MSG.gesture, 'ready');
        });
    };

    // Play and pause; after the end, this slide plays again from its start.
    SlidePage.prototype.toggle = function () {
        if (!this.ready) return;
        var a = this.audio();
        if (!a.paused) {
            a.pause();
            return;
        }
        if (a.ended) {
            var cue = this.firstCueOf(this.shown);
            if (cue) this.seek(cue.start);
        }
        // Started within the click or key press, as browsers require.
        this.play();
    };

    SlidePage.prototype.playAt = function (t, play) {
        if (!this.ready) return;
        this.seek(t);
        if (play) this.play();
    };

    // While the lecture plays, the neighbours are reached by moving the audio.
    SlidePage.prototype.seekToSlide = function (n) {
        if (!this.ready || !this.armed) return false;
        var cue = this.firstCueOf(n);
        if (!cue) return false;
        this.seek(cue.start);
        return true;
    };

    SlidePage.prototype.step = function (delta) {
        var n = this.shown + delta;
        if (n < 1 || (this.count && n > this.count)) return;
        if (this.seekToSlide(n)) return;
        var link = delta < 0 ? this.el.prev : this.el.next;
        if (link && !link.hidden && link.getAttribute('href')) location.href = link.href;
    };

    // A swipe across the slide on a touch screen goes to the next or previous slide.
    SlidePage.prototype.swipes = function () {
        var self = this, image = this.el.image, from = null;
        image.addEventListener('pointerdown', function (e) {
            from = e.pointerType === 'touch' ? { x: e.clientX, y: e.clientY } : null;
        });
        image.addEventListener('pointercancel', function () {
            from = null;
        });
        image.addEventListener('pointerup', function (e) {
            if (!from) return;
            var dx = e.clientX - from.x, dy = e.clientY - from.y;
            from = null;
            if (Math.abs(dx) >= SWIPE && Math.abs(dx) > 2 * Math.abs(dy)) self.step(dx < 0 ? 1 : -1);
        });
    };

    SlidePage.prototype.key = function (e) {
        if (e.defaultPrevented || e.altKey || e.ctrlKey || e.metaKey) return;
        var target = e.target || {};
        if (/^(INPUT|TEXTAREA|SELECT|AUDIO|VIDEO)$/.test(target.tagName) || target.isContentEditable)
            return;
        switch (e.key) {
        case 'ArrowLeft':
        case 'PageUp':
            this.step(-1);
            break;
        case 'ArrowRight':
        case 'PageDown':
            this.step(1);
            break;
        case 'p':
        case 'P':
        case ' ':
            if (e.key === ' ' && target.tagName === 'BUTTON') return;
            if (!this.ready) return;
            this.toggle();
            break;
        case 'f':
        case 'F':
            if (!this.ready || !document.fullscreenEnabled) return;
            this.fullScreen();
            break;
        default:
            return;
        }
        e.preventDefault();
    };

    /* ---- Index page ---- */

    // The table's lines are fixed by the writer: a caption, header cells, start times as
    // links and a search that hides rows are added here, never a row.
    function improveIndex() {
        var table = document.querySelector('table');
        if (!table) return;
        var holder = table.closest('[data-cm-caption]');
        if (!table.caption && holder)
            table.createCaption().textContent = holder.getAttribute('data-cm-caption');
        var head = table.rows[0];
        if (!head || head.querySelector('th')) return;
        Array.prototype.slice.call(head.cells).forEach(function (td) {
            var th = document.createElement('th');
            th.scope = 'col';
            th.textContent = td.textContent.trim();
            head.replaceChild(th, td);
        });
        var rows = Array.prototype.slice.call(table.rows, 1).map(function (tr) {
            var page = tr.querySelector('a[href]'), cell = tr.cells[2];
            var n = page ? F.slideNumber(page.getAttribute('href')) : 0;
            var start = cell ? F.parseClock(cell.textContent) : NaN;
            if (n && !isNaN(start) && /^https?:$/.test(location.protocol)) {
                var link = element('a', 'cm-start', cell.textContent.trim());
                link.setAttribute('href', slideFile(n) + '#t=' + start + '&play');
                cell.textContent = '';
                cell.appendChild(link);
            }
            return { tr: tr, title: page ? page.textContent.trim() : '', start: start };
        });
        searchIndex(rows);
    }

    function searchIndex(rows) {
        var input = byId('cm-search'), found = byId('cm-found');
        if (!input) return;
        var spoken = [];
        function filter() {
            var keep = F.searchRows(rows, spoken, input.value), shown = 0;
            rows.forEach(function (row, i) {
                row.tr.hidden = !keep[i];
                if (keep[i]) shown += 1;
            });
            say(found, input.value.trim() ? shown + ' of ' + rows.length + ' slides' : '');
        }
        input.closest('.cm-search').hidden = false;
        input.addEventListener('input', filter);
        if (/^https?:$/.test(location.protocol)) loadTranscript().then(function (cues) {
            spoken = cues;
            filter();
            document.body.setAttribute('data-cm-transcript', 'shown');
        });
    }

    /* ---- Preload page ---- */

    // Fetches the slide images into the cache while the listener reads the first page.
    function preloadImages() {
        var data = byId('cm-preload');
        var status = byId('cm-status');
        if (!data) return;
        var urls = [], unreadable = 0;
        F.parsePreload(data.textContent).images.forEach(function (image) {
            var url;
            try {
                url = new URL(image, location.href);
            } catch (e) {
                // An address no browser can read is left out; the others load all the same.
                unreadable += 1;
                return;
            }
            // Only images of this site: a configured address elsewhere is not fetched.
            if (url.origin === location.origin && urls.indexOf(url.href) < 0) urls.push(url.href);
        });
        var done = 0;
        var skipped = unreadable ? ' ' + F.fill(MSG.badImages, 'N', String(unreadable)) : '';
        var report = function () {
            say(status, (done < urls.length ? 'Loading slide images: ' + done + ' of ' + urls.length +
                '.' : 'Slide images loaded.') + skipped);
        };
        report();
        urls.forEach(function (url) {
            var image = new Image();
            image.onload = image.onerror = function () {
                done += 1;
                report();
            };
            image.src = url;
        });
    }

    var kind = document.body && document.body.getAttribute('data-cm-page');
    if (kind === 'slide') new SlidePage().start();
    else if (kind === 'index') improveIndex();
    else if (kind === 'preload') preloadImages();
})(CuemarkFiles);
