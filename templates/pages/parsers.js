/* Cuemark player: readers of the files a presentation holds (metafiles, the event list,
 * WebVTT files, the preload data block). Written into every page ahead of the player;
 * under node it is a module of its own, so its tests need no browser. */
var CuemarkFiles = (function () {
    'use strict';

    // The latest time any of these files can hold: 99 days, as the event list counts them.
    var MAX_TIME = 100 * 86400;
    var SLIDE_PAGE = /^sld(\d+)\.htm$/i;

    function nnn(i) {
        var s = String(i);
        while (s.length < 3) s = '0' + s;
        return s;
    }

    // Percent escapes as the bytes they stand for, one character each; never throws on
    // bytes that are not UTF-8, and page names are ASCII anyway.
    function unescapeBytes(text) {
        return text.replace(/%([0-9a-f]{2})/gi, function (all, hex) {
            return String.fromCharCode(parseInt(hex, 16));
        });
    }

    // The file name a URL ends in: cues and links meet pages by name, whatever the host.
    function fileName(url) {
        var s = String(url).split('#')[0].split('?')[0];
        return unescapeBytes(s.slice(Math.max(s.lastIndexOf('/'), s.lastIndexOf('\\')) + 1));
    }

    function slideNumber(url) {
        var m = SLIDE_PAGE.exec(fileName(url));
        return m ? parseInt(m[1], 10) : 0;
    }

    // The slide number the deck gives an image (sld008.gif is slide 8); 0 for a pause.
    function deckNumber(imageUrl) {
        var m = /(\d+)\.[a-z0-9]+$/i.exec(fileName(imageUrl || ''));
        return m ? parseInt(m[1], 10) : 0;
    }

    // Seconds from whole-number fields, or NaN when a field has no digits or the time
    // would pass MAX_TIME: a time is a number a media element accepts.
    function seconds(fields, scales, fraction) {
        var total = 0;
        for (var i = 0; i < fields.length; i++) {
            if (!/^\d+$/.test(fields[i] || '')) return NaN;
            total += parseInt(fields[i], 10) * scales[i];
        }
        if (fraction) total += parseFloat('0.' + fraction);
        return total <= MAX_TIME ? total : NaN;
    }

    function clockSeconds(h, m, s) {
        return seconds([h, m, s], [3600, 60, 1]);
    }

    // "hh:nn:ss", as the index shows start times.
    function parseClock(text) {
        var m = /^\s*(\d+):(\d+):(\d+)\s*$/.exec(text || '');
        return m ? clockSeconds(m[1], m[2], m[3]) : NaN;
    }

    function formatClock(t) {
        var s = Math.floor(t);
        var two = function (n) {
            return (n < 10 ? '0' : '') + n;
        };
        return two(Math.floor(s / 3600)) + ':' + two(Math.floor(s / 60) % 60) + ':' + two(s % 60);
    }

    // One metafile line: the audio URL, then ?start="hh:nn:ss"&end="hh:nn:ss".
    function parseMetafile(text) {
        var line = text.replace(/^\uFEFF/, '').split(/\r?\n|\r/)[0].trim();
        var at = line.toLowerCase().lastIndexOf('?start=');
        if (!line || at < 0) return null;
        var m = /^\?start="?(\d+):(\d+):(\d+)"?(?:&end="?(\d+):(\d+):(\d+)"?)?/i.exec(line.slice(at));
        if (!m) return null;
        var start = clockSeconds(m[1], m[2], m[3]);
        var end = m[4] === undefined ? Infinity : clockSeconds(m[4], m[5], m[6]);
        if (isNaN(start) || isNaN(end)) return null;
        return { url: line.slice(0, at), start: start, end: end };
    }

    // The event file's name as the post-processor derives it from the audio URL; '' when
    // there is none or it is no plain name, as the event file lies beside the pages only.
    function eventFileName(audioUrl) {
        var at = audioUrl.toLowerCase().indexOf('.ra');
        if (at < 0) return '';
        var base = audioUrl.slice(0, at);
        var cut = base.lastIndexOf('/');
        if (cut < 0) cut = base.indexOf(':');
        var name = base.slice(cut + 1) + '.rae';
        return /[\\/]/.test(name) ? '' : name;
    }

    // The character references WebVTT cue text uses, named or numbered.
    var NAMED = { amp: '&', lt: '<', gt: '>', quot: '"', apos: '\'', nbsp: '\u00a0', lrm: '\u200e',
        rlm: '\u200f' };
    // A caption longer than this is no caption: the rest is not kept, so one cue costs
    // the page no more than a screenful.
    var MAX_CUE_TEXT = 1000;
    var REFERENCE = /^&(#[xX][0-9a-fA-F]{1,6}|#\d{1,7}|[a-zA-Z]{1,8});/;

    function reference(text, at) {
        var m = REFERENCE.exec(text.slice(at, at + 10));
        if (!m) return null;
        var ref = m[1], value = null;
        if (ref[0] !== '#') {
            if (NAMED.hasOwnProperty(ref.toLowerCase()) && ref === ref.toLowerCase()) value = NAMED[ref];
        } else {
            var code = ref[1] === 'x' || ref[1] === 'X' ? parseInt(ref.slice(2), 16) : parseInt(ref.slice(1), 10);
            if (code > 0 && code <= 0x10ffff) value = String.fromCodePoint(code);
        }
        return value === null ? null : { value: value, length: m[0].length };
    }

    // Where `c` next stands in `text` at or after `from`, remembered from the last look:
    // a scan that moves forward costs one pass over the text, however often it asks.
    function Finder(text, c) {
        this.text = text;
        this.c = c;
        this.at = -2;
    }

    Finder.prototype.from = function (from) {
        if (this.at !== -1 && this.at < from) this.at = this.text.indexOf(this.c, from);
        return this.at < 0 ? this.text.length : this.at;
    };

    // Cue text without its tags (a tag runs to its ">" or to the end), references decoded:
    // one pass, each character looked at once.
    function decodeCueText(text) {
        var out = '', i = 0, n = text.length;
        var tag = new Finder(text, '<'), ref = new Finder(text, '&'), close = new Finder(text, '>');
        while (i < n && out.length <= MAX_CUE_TEXT) {
            var c = text[i];
            if (c === '<') {
                i = Math.min(n, close.from(i + 1) + 1);
            } else if (c === '&') {
                var r = reference(text, i);
                out += r ? r.value : c;
                i += r ? r.length : 1;
            } else {
                var next = Math.min(tag.from(i), ref.from(i));
                out += text.slice(i, Math.min(next, i + MAX_CUE_TEXT + 1));
                i = next;
            }
        }
        return out.length > MAX_CUE_TEXT ? out.slice(0, MAX_CUE_TEXT) + '\u2026' : out;
    }

    function digits(text, from, count) {
        var value = 0;
        for (var i = from; i < from + count; i++) {
            var d = text.charCodeAt(i) - 48;
            if (!(d >= 0 && d <= 9)) return NaN;
            value = value * 10 + d;
        }
        return value;
    }

    // WebVTT time: [hh:]mm:ss.ttt, read digit by digit (a file holds two per cue).
    function vttTime(text) {
        var tail = text.length - 9;
        if (tail < 0 || text[tail + 2] !== ':' || text[tail + 5] !== '.') return NaN;
        var hours = 0;
        if (tail > 0) {
            if (text[tail - 1] !== ':' || tail - 1 > 10) return NaN;
            hours = digits(text, 0, tail - 1);
        }
        var m = digits(text, tail, 2), s = digits(text, tail + 3, 2), ms = digits(text, tail + 6, 3);
        var total = hours * 3600 + m * 60 + s + ms / 1000;
        return m <= 59 && s <= 59 && total <= MAX_TIME ? total : NaN;
    }

    function blank(c) {
        return c === ' ' || c === '\t';
    }

    // "START --> END settings": the two times, or null when the line is no timing line.
    function timing(line) {
        var arrow = line.indexOf('-->');
        if (arrow < 1 || !blank(line[arrow - 1]) || !blank(line[arrow + 3])) return null;
        var from = arrow + 4;
        while (blank(line[from])) from++;
        var to = from;
        while (to < line.length && !blank(line[to])) to++;
        return { start: vttTime(line.slice(0, arrow).trim()), end: vttTime(line.slice(from, to)) };
    }

    // A WebVTT file read a part at a time: read(limit) gives up to `limit` more cues, and
    // `done` says when the file is through, so a page can read a long file between other
    // work. Lines end at CR LF, LF or CR; each character is looked at once.
    function WebVttReader(text) {
        this.text = text;
        this.pos = text.charCodeAt(0) === 0xfeff ? 1 : 0;
        this.cr = new Finder(text, '\r');
        this.lf = new Finder(text, '\n');
        this.done = !/^WEBVTT(?:[ \t]|$)/.test(this.line() || '');
    }

    WebVttReader.prototype.line = function () {
        var text = this.text, from = this.pos;
        if (from > text.length) return null;
        var end = Math.min(this.cr.from(from), this.lf.from(from));
        this.pos = end + (text[end] === '\r' && text[end + 1] === '\n' ? 2 : 1);
        return text.slice(from, end);
    };

    WebVttReader.prototype.read = function (limit) {
        var cues = [];
        while (!this.done && cues.length < limit) {
            // A block: its timing line (the first or the second), then the cue's text.
            var line, count = 0, times = null, payload = [];
            while ((line = this.line()) !== null && line !== '') {
                count += 1;
                if (times) payload.push(line);
                else if (count <= 2) times = timing(line);
            }
            if (line === null) this.done = true;
            if (times && !isNaN(times.start) && !isNaN(times.end))
                cues.push({ start: times.start, end: times.end, text: decodeCueText(payload.join('\n')).trim() });
        }
        return cues;
    };

    // Every cue of a WebVTT file, its text with tags taken out and references decoded.
    function parseWebVtt(text) {
        return new WebVttReader(text).read(Infinity);
    }

    // Event list line, read as cevents reads it: "u DD:HH:MM:SS.T DD:HH:MM:SS.T URL", one
    // blank between the parts, the URL the rest of the line (blanks and all).
    var EVENT_TIME = '(\\d{1,2}):(\\d{1,2}):(\\d{1,2}):(\\d{1,2})\\.(\\d{1,3})';
    var EVENT_LINE = new RegExp('^u ' + EVENT_TIME + ' ' + EVENT_TIME + ' (.+)$');
    var EVENT_LIMITS = [99, 23, 59, 59];

    function eventTime(m, k) {
        for (var i = 0; i < 4; i++)
            if (parseInt(m[k + i], 10) > EVENT_LIMITS[i]) return NaN;
        return seconds(m.slice(k, k + 4), [86400, 3600, 60, 1], m[k + 4]);
    }

    function parseEventList(text) {
        var cues = [];
        text.split(/\r\n|\r|\n/).forEach(function (row) {
            var m = EVENT_LINE.exec(row);
            if (!m) return;
            var start = eventTime(m, 1), end = eventTime(m, 6);
            if (end > start) cues.push({ start: start, end: end, text: m[11] });
        });
        return cues;
    }

    // Cues that name a slide page, by its number, in the order they play.
    function pageCues(cues) {
        return cues.map(function (c) {
            return { start: c.start, end: c.end, n: slideNumber(c.text) };
        }).filter(function (c) {
            return c.n > 0;
        }).sort(function (a, b) {
            return a.start - b.start;
        });
    }

    // The preload data block: the slide images and the audio URL.
    function parsePreload(text) {
        var data = { images: [], audio: null };
        text.split(/\r\n|\r|\n/).forEach(function (line) {
            var m = /^\s*SLDtoGIF\s*\(\s*(\d+)\s*\)\s*=\s*"([^"]*)"/i.exec(line);
            if (m) data.images.push(m[2]);
            m = /^\s*AudioURL\s*=\s*"([^"]*)"/i.exec(line);
            if (m) data.audio = m[1];
        });
        return data;
    }

    // "#t=21" (and "#t=21&play"): the time a link asks for, or null.
    function hashTime(hash) {
        var m = /^#?(?:[^&]*&)*t=(\d+(?:\.\d+)?)(?:&|$)/.exec(hash || '');
        if (!m) return null;
        var t = parseFloat(m[1]);
        return t <= MAX_TIME ? t : null;
    }

    // "&play" beside the time: the link asks the audio to start there.
    function hashPlays(hash) {
        return /^#?(?:[^&]*&)*play(?:&|$)/.test(hash || '');
    }

    // A message with NAME filled in as it stands ("$&" in it is no pattern).
    function fill(message, name, value) {
        return message.replace(name, function () {
            return value;
        });
    }

    // The last cue, of cues in the order they begin, that begins by t: -1 before the first.
    function lastStartedBy(cues, t) {
        var lo = 0, hi = cues.length - 1, found = -1;
        while (lo <= hi) {
            var mid = (lo + hi) >> 1;
            if (cues[mid].start <= t + 0.001) {
                found = mid;
                lo = mid + 1;
            } else {
                hi = mid - 1;
            }
        }
        return found;
    }

    // The cue said at t (the latest begun that has not ended), or -1 between cues.
    function cueIndexAt(cues, t) {
        var at = lastStartedBy(cues, t);
        // Overlapping cues are few: a look a little way back finds one still running.
        for (var i = at; i >= 0 && i > at - 8; i--)
            if (t < cues[i].end) return i;
        return -1;
    }

    // Which index rows a search keeps: the title holds the words, or what is said while
    // the row's slide is shown does. rows: [{title, start}] in lecture order; transcript
    // in the order said.
    function searchRows(rows, transcript, query) {
        var words = query.toLowerCase().split(/\s+/).filter(Boolean);
        var holds = function (text) {
            text = text.toLowerCase();
            return words.every(function (w) {
                return text.indexOf(w) >= 0;
            });
        };
        var said = rows.map(function () {
            return [];
        });
        transcript.forEach(function (c) {
            var row = lastStartedBy(rows, c.start - 0.001);
            if (row >= 0) said[row].push(c.text);
        });
        return rows.map(function (row, i) {
            return holds(row.title) || (said[i].length > 0 && holds(said[i].join(' ')));
        });
    }

    return {
        MAX_TIME: MAX_TIME, nnn: nnn, fileName: fileName, slideNumber: slideNumber,
        deckNumber: deckNumber, parseClock: parseClock, formatClock: formatClock,
        parseMetafile: parseMetafile, eventFileName: eventFileName, parseWebVtt: parseWebVtt,
        parseEventList: parseEventList, pageCues: pageCues, parsePreload: parsePreload,
        hashTime: hashTime, hashPlays: hashPlays, WebVttReader: WebVttReader, fill: fill, searchRows: searchRows, cueIndexAt: cueIndexAt
    };
})();
if (typeof module === 'object' && module.exports) module.exports = CuemarkFiles;
