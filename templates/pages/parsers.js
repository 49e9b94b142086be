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

    function decodeCueText(text) {
        return text.replace(/<[^>]*>/g, '').replace(/&(#x[0-9a-f]+|#\d+|[a-z]+);/gi,
            function (all, ref) {
                if (ref[0] !== '#') return NAMED.hasOwnProperty(ref) ? NAMED[ref] : all;
                var code = ref[1] === 'x' || ref[1] === 'X' ? parseInt(ref.slice(2), 16) :
                    parseInt(ref.slice(1), 10);
                return code > 0 && code <= 0x10ffff ? String.fromCodePoint(code) : all;
            });
    }

    // WebVTT time: [hh:]mm:ss.ttt
    function vttTime(text) {
        var m = /^(?:(\d+):)?(\d{2}):(\d{2})\.(\d{3})$/.exec(text);
        if (!m) return NaN;
        return seconds([m[1] || '0', m[2], m[3]], [3600, 60, 1], m[4]);
    }

    // Every cue of a WebVTT file, its text with tags taken out and references decoded.
    function parseWebVtt(text) {
        text = text.replace(/^\uFEFF/, '').replace(/\r\n?/g, '\n');
        if (!/^WEBVTT(?:[ \t][^\n]*)?(?:\n|$)/.test(text)) return [];
        var cues = [];
        text.split(/\n{2,}/).forEach(function (block) {
            var lines = block.split('\n');
            for (var i = 0; i < lines.length && i < 2; i++) {
                var m = /^\s*(\S+)\s+-->\s+(\S+)/.exec(lines[i]);
                if (!m) continue;
                var start = vttTime(m[1]), end = vttTime(m[2]);
                if (isNaN(start) || isNaN(end)) return;
                var payload = lines.slice(i + 1).join('\n').trim();
                cues.push({ start: start, end: end, text: decodeCueText(payload) });
                return;
            }
        });
        return cues;
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

    // Which index rows a search keeps: the title holds the words, or what is said while
    // the row's slide is shown does. rows: [{title, start}] in lecture order.
    function searchRows(rows, transcript, query) {
        var words = query.toLowerCase().split(/\s+/).filter(Boolean);
        var holds = function (text) {
            text = text.toLowerCase();
            return words.every(function (w) {
                return text.indexOf(w) >= 0;
            });
        };
        return rows.map(function (row, i) {
            if (holds(row.title)) return true;
            var next = i + 1 < rows.length ? rows[i + 1].start : Infinity;
            var said = transcript.filter(function (c) {
                return c.start >= row.start && c.start < next;
            }).map(function (c) {
                return c.text;
            }).join(' ');
            return said !== '' && holds(said);
        });
    }

    return {
        MAX_TIME: MAX_TIME, nnn: nnn, fileName: fileName, slideNumber: slideNumber,
        deckNumber: deckNumber, parseClock: parseClock, formatClock: formatClock,
        parseMetafile: parseMetafile, eventFileName: eventFileName, parseWebVtt: parseWebVtt,
        parseEventList: parseEventList, pageCues: pageCues, parsePreload: parsePreload,
        hashTime: hashTime, hashPlays: hashPlays, fill: fill, searchRows: searchRows
    };
})();
if (typeof module === 'object' && module.exports) module.exports = CuemarkFiles;
