/* Cuemark player: plays the lecture in the browser and turns the slide pages with it.
 * Written into every page at build time; it needs nothing from elsewhere. Without it,
 * or where it cannot play, the pages stay plain links. */
(function () {
    'use strict';

    var MSG = {
        file: 'Opened as a file: serve this folder over http to hear the lecture.',
        noRam: 'No metafile (NAME) beside this page: there is nothing to play.',
        noPlay: 'The lecture\'s audio (URL) cannot be played in a web browser.',
        noEvents: 'No event list (cevents.txt) beside this page: the slides cannot follow the audio.',
        ready: 'Play from here, or press P, to hear the lecture from this slide.',
        gesture: 'Press Play from here, or P, to start the audio.',
        audioFailed: 'The lecture\'s audio (URL) could not be loaded.',
        wholeFile: 'This server cannot seek: loading the whole audio file first.',
        ended: 'End of the lecture.'
    };
    // Formats a browser can play; RealAudio and anything unknown to it are refused.
    var AUDIO_TYPES = {
        mp3: 'audio/mpeg', ogg: 'audio/ogg', oga: 'audio/ogg', opus: 'audio/ogg; codecs=opus',
        wav: 'audio/wav', m4a: 'audio/mp4', mp4: 'audio/mp4', aac: 'audio/aac',
        webm: 'audio/webm', flac: 'audio/flac'
    };
    var SLIDE_PAGE = /^sld(\d+)\.htm$/i;
    // Seconds a seek may land short of its target (frame rounding of compressed audio).
    var SEEK_SLACK = 0.5;

    function byId(id) {
        return document.getElementById(id);
    }

    function nnn(i) {
        var s = String(i);
        while (s.length < 3) s = '0' + s;
        return s;
    }

    function slideFile(n) {
        return 'sld' + nnn(n) + '.htm';
    }

    // The file name a URL ends in: cues and links meet pages by name, whatever the host.
    function fileName(url) {
        var s = String(url).split('#')[0].split('?')[0];
        return s.slice(Math.max(s.lastIndexOf('/'), s.lastIndexOf('\\')) + 1);
    }

    function slideNumber(url) {
        var m = SLIDE_PAGE.exec(fileName(url));
        return m ? parseInt(m[1], 10) : 0;
    }

    // The event file's name, derived from the audio URL as the post-processor names it.
    function eventFileName(audioUrl) {
        var at = audioUrl.toLowerCase().indexOf('.ra');
        if (at < 0) return '';
        var base = audioUrl.slice(0, at);
        var cut = base.lastIndexOf('/');
        if (cut < 0) cut = base.indexOf(':');
        return base.slice(cut + 1) + '.rae';
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

    function hms(h, m, s) {
        return parseInt(h, 10) * 3600 + parseInt(m, 10) * 60 + parseInt(s, 10);
    }

    // One metafile line: the audio URL, then ?start="hh:nn:ss"&end="hh:nn:ss".
    function parseMetafile(text) {
        var line = text.replace(/^\uFEFF/, '').split(/\r?\n/)[0].trim();
        var at = line.toLowerCase().lastIndexOf('?start=');
        if (!line || at < 0) return null;
        var m = /^\?start="?(\d+):(\d+):(\d+)"?(?:&end="?(\d+):(\d+):(\d+)"?)?/i.exec(line.slice(at));
        if (!m) return null;
        return {
            url: line.slice(0, at),
            start: hms(m[1], m[2], m[3]),
            end: m[4] === undefined ? Infinity : hms(m[4], m[5], m[6])
        };
    }

    // WebVTT time: [hh:]mm:ss.ttt
    function vttTime(text) {
        var parts = text.split(':');
        var seconds = parseFloat(parts.pop());
        var minutes = parseInt(parts.pop(), 10);
        var hours = parts.length ? parseInt(parts.pop(), 10) : 0;
        return hours * 3600 + minutes * 60 + seconds;
    }

    function parseWebVtt(text) {
        text = text.replace(/^\uFEFF/, '').replace(/\r\n?/g, '\n');
        if (!/^WEBVTT(?:[ \t][^\n]*)?(?:\n|$)/.test(text)) return [];
        var cues = [];
        text.split(/\n{2,}/).forEach(function (block) {
            var lines = block.split('\n');
            for (var i = 0; i < lines.length; i++) {
                var m = /^\s*((?:\d+:)?\d+:\d+(?:\.\d+)?)\s+-->\s+((?:\d+:)?\d+:\d+(?:\.\d+)?)/.exec(
                    lines[i]);
                if (!m) continue;
                var payload = lines.slice(i + 1).join(' ').trim();
                cues.push({ start: vttTime(m[1]), end: vttTime(m[2]), n: slideNumber(payload) });
                return;
            }
        });
        return cues;
    }

    // Event list line: u dd:hh:nn:ss.t dd:hh:nn:ss.t URL
    function parseEventList(text) {
        var time = '(\\d+):(\\d+):(\\d+):(\\d+)(?:\\.(\\d+))?';
        var line = new RegExp('^\\s*u\\s+' + time + '\\s+' + time + '\\s+(\\S+)', 'i');
        function seconds(m, k) {
            var tenths = m[k + 4] ? parseFloat('0.' + m[k + 4]) : 0;
            return parseInt(m[k], 10) * 86400 + hms(m[k + 1], m[k + 2], m[k + 3]) + tenths;
        }
        var cues = [];
        text.split(/\r?\n/).forEach(function (row) {
            var m = line.exec(row);
            if (m) cues.push({ start: seconds(m, 1), end: seconds(m, 6), n: slideNumber(m[11]) });
        });
        return cues;
    }

    function usableCues(cues) {
        return cues.filter(function (c) {
            return c.n > 0 && isFinite(c.start);
        }).sort(function (a, b) {
            return a.start - b.start;
        });
    }

    // The event file first; the event list when there is none or it holds no cue.
    function loadCues(audioUrl) {
        var name = eventFileName(audioUrl);
        var fromEventFile = name ? fetchText(name).then(parseWebVtt, function () {
            return [];
        }) : Promise.resolve([]);
        return fromEventFile.then(function (cues) {
            cues = usableCues(cues);
            if (cues.length) return cues;
            return fetchText('cevents.txt').then(function (text) {
                return usableCues(parseEventList(text));
            }, function () {
                return [];
            });
        });
    }

    // Slide titles from the index page's table, by page number.
    function loadTitles() {
        return fetchText('index.htm').then(function (text) {
            var doc = new DOMParser().parseFromString(text, 'text/html');
            var titles = {};
            Array.prototype.forEach.call(doc.querySelectorAll('td a[href]'), function (a) {
                var n = slideNumber(a.getAttribute('href'));
                if (n) titles[n] = a.textContent.trim();
            });
            return titles;
        }, function () {
            return {};
        });
    }

    function playable(url) {
        if (!/^https?:$/.test(url.protocol)) return false;
        var name = fileName(url.pathname).toLowerCase();
        var dot = name.lastIndexOf('.');
        var ext = dot < 0 ? '' : name.slice(dot + 1);
        if (/^(ra|rm|ram|rpm|rv|rmvb)$/.test(ext)) return false;
        var type = AUDIO_TYPES[ext];
        return !type || document.createElement('audio').canPlayType(type) !== '';
    }

    function say(el, text) {
        if (el) el.textContent = text;
    }

    /* ---- Slide pages ---- */

    function SlidePage() {
        this.el = {
            prev: byId('cm-prev'), next: byId('cm-next'), play: byId('cm-play'), image: byId('cm-slide'), heading: byId('cm-heading'),
            status: byId('cm-status'), live: byId('cm-live'), audio: byId('cm-audio')
        };
        this.shown = slideNumber(location.pathname);
        this.count = 0;
        this.titles = {};
        this.cues = [];
        this.pages = {};
        this.metafiles = {};
        this.ready = false;
        this.started = false;
        this.target = null;
        this.wholeFile = false;
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
        this.el.play.addEventListener('click', function (e) {
            if (!self.ready) return;
            e.preventDefault();
            self.playFromHere();
        });
        // Each page carries its own title as the image's text; the index has them all.
        if (this.el.image.alt) this.titles[this.shown] = this.el.image.alt;
        loadTitles().then(function (titles) {
            for (var n in titles) self.titles[n] = titles[n];
            self.count = Object.keys(titles).length;
            self.label(self.shown);
            self.hideMissingNeighbours();
        });
        var ramName = fileName(this.el.play.getAttribute('href') || '');
        this.loadMetafile(this.shown, this.el.play.href).then(function (meta) {
            if (!meta) return self.status(MSG.noRam.replace('NAME', ramName), 'plain');
            try {
                self.audioUrl = new URL(meta.url, self.el.play.href);
            } catch (e) {
                self.audioUrl = null;
            }
            if (!self.audioUrl || !playable(self.audioUrl))
                return self.status(MSG.noPlay.replace('URL', meta.url), 'plain');
            return loadCues(meta.url).then(function (cues) {
                if (!cues.length) return self.status(MSG.noEvents, 'plain');
                self.cues = cues;
                self.ready = true;
                self.status(MSG.ready, 'ready');
            });
        });
    };

    SlidePage.prototype.loadMetafile = function (n, url) {
        if (!this.metafiles[n]) {
            this.metafiles[n] = fetchText(url).then(parseMetafile, function () {
                return null;
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
                    ram: play ? play.getAttribute('href') : 'tsld' + nnn(n) + '.ram'
                };
            });
        }
        return this.pages[n];
    };

    SlidePage.prototype.title = function (n) {
        return this.titles[n] || 'Slide ' + n;
    };

    SlidePage.prototype.label = function (n) {
        var title = this.title(n);
        this.el.image.alt = title;
        say(this.el.heading, n + '. ' + title);
        document.title = title + ' (slide ' + n + ')';
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

    // Turns the page in place: image, links, title and address follow the audio.
    SlidePage.prototype.show = function (n) {
        if (n === this.shown) return;
        var self = this;
        this.shown = n;
        this.loadPage(n).then(function (page) {
            if (self.shown !== n) return;
            if (page.title && !self.titles[n]) self.titles[n] = page.title;
            // Every page lies in this folder, so its relative links hold here too.
            if (page.image) self.el.image.setAttribute('src', page.image);
            self.setLink(self.el.prev, page.prev);
            self.setLink(self.el.next, page.next);
            self.el.play.setAttribute('href', page.ram);
            history.replaceState(history.state, '', slideFile(n));
            self.label(n);
            self.hideMissingNeighbours();
            say(self.el.live, 'Slide ' + n + ': ' + self.title(n));
            document.body.setAttribute('data-cm-shown', String(n));
        }, function () {
            if (self.shown === n) self.shown = slideNumber(location.pathname);
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
            this.el.image.parentNode.insertBefore(a, this.el.image.nextSibling);
        }
        if (!this.started) {
            this.started = true;
            a.hidden = false;
            a.preload = 'auto';
            a.src = this.audioUrl.href;
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
            });
            a.addEventListener('ended', function () {
                self.status(MSG.ended, 'ready');
            });
            // Audio that will not load leaves the page to its plain links.
            a.addEventListener('error', function () {
                if (self.wholeFile) return;
                self.ready = false;
                a.hidden = true;
                self.status(MSG.audioFailed.replace('URL', self.audioUrl.href), 'plain');
            });
        }
        return a;
    };

    SlidePage.prototype.follow = function () {
        var a = this.el.audio, t = a.currentTime;
        if (this.target !== null) return;
        if (t >= this.end && !a.paused) a.pause();
        var cue = this.cueAt(t);
        if (cue) this.show(cue.n);
    };

    SlidePage.prototype.seek = function (t) {
        var a = this.audio();
        this.target = t;
        if (a.readyState >= 1) this.applySeek();
    };

    // A server without byte ranges leaves nothing to seek in until the audio is in: the
    // browser keeps the time at the start. Then the whole file is loaded once, and a file
    // in memory seeks anywhere.
    SlidePage.prototype.applySeek = function () {
        if (this.target === null) return;
        var a = this.el.audio;
        a.currentTime = this.target;
        if (Math.abs(a.currentTime - this.target) < SEEK_SLACK || this.wholeFile) {
            this.target = null;
            this.follow();
        } else {
            this.loadWholeFile();
        }
    };

    SlidePage.prototype.loadWholeFile = function () {
        var self = this, a = this.el.audio;
        var resume = !a.paused;
        this.wholeFile = true;
        a.pause();
        this.status(MSG.wholeFile, 'loading');
        fetch(this.audioUrl.href).then(function (response) {
            if (!response.ok) throw new Error(String(response.status));
            return response.blob();
        }).then(function (blob) {
            a.src = URL.createObjectURL(blob);
            if (resume) self.play();
        }).catch(function () {
            self.target = null;
            self.status(MSG.audioFailed.replace('URL', self.audioUrl.href), 'ready');
        });
    };

    SlidePage.prototype.play = function () {
        var self = this, a = this.audio();
        var pending = a.play();
        if (pending && pending.catch) pending.catch(function (e) {
            if (e && e.name === 'NotAllowedError') self.status(MSG.gesture, 'ready');
        });
    };

    SlidePage.prototype.playFromHere = function () {
        var self = this, n = this.shown;
        var url = new URL(this.el.play.getAttribute('href'), location.href).href;
        this.loadMetafile(n, url).then(function (meta) {
            if (!meta) return;
            self.end = meta.end;
            self.seek(meta.start);
        });
        // Started within the click or key press, as browsers require.
        this.play();
    };

    // While the lecture plays, the neighbours are reached by moving the audio.
    SlidePage.prototype.seekToSlide = function (n) {
        if (!this.ready || !this.started) return false;
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
            if (!this.started) this.playFromHere();
            else if (this.el.audio.paused) this.play();
            else this.el.audio.pause();
            break;
        default:
            return;
        }
        e.preventDefault();
    };

    /* ---- Index page ---- */

    // The table's lines are fixed by the writer; a caption and header cells are added here.
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
    }

    /* ---- Preload page ---- */

    // Fetches the slide images into the cache while the listener reads the first page.
    function preloadImages() {
        var data = byId('cm-preload');
        var status = byId('cm-status');
        if (!data) return;
        var urls = [];
        data.textContent.split(/\r?\n/).forEach(function (line) {
            var m = /^\s*SLDtoGIF\s*\(\s*\d+\s*\)\s*=\s*"([^"]*)"/i.exec(line);
            if (!m) return;
            var url = new URL(m[1], location.href);
            // Only images of this site: a configured address elsewhere is not fetched.
            if (url.origin === location.origin && urls.indexOf(url.href) < 0) urls.push(url.href);
        });
        var done = 0;
        urls.forEach(function (url) {
            var image = new Image();
            image.onload = image.onerror = function () {
                done += 1;
                say(status, done < urls.length ? 'Loading slide images: ' + done + ' of ' +
                    urls.length + '.' : 'Slide images loaded.');
            };
            image.src = url;
        });
    }

    var kind = document.body && document.body.getAttribute('data-cm-page');
    if (kind === 'slide') new SlidePage().start();
    else if (kind === 'index') improveIndex();
    else if (kind === 'preload') preloadImages();
})();
