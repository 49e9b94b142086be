// WebVTT files (the event file, captions.vtt, chapters.vtt), read in one pass.

import { MAX_TIME } from './text.js';

// The character references WebVTT cue text uses, named or numbered.
const NAMED = { amp: '&', lt: '<', gt: '>', quot: '"', apos: '\'', nbsp: '\u00a0', lrm: '\u200e',
    rlm: '\u200f' };
// A caption longer than this is no caption: the rest is not kept, so one cue costs the
// page no more than a screenful.
const MAX_CUE_TEXT = 1000;
const REFERENCE = /^&(#[xX][0-9a-fA-F]{1,6}|#\d{1,7}|[a-z]{1,8});/;

function reference(text, at) {
    const m = REFERENCE.exec(text.slice(at, at + 10));
    if (!m) return null;
    const ref = m[1];
    let value = null;
    if (ref[0] !== '#') {
        if (Object.prototype.hasOwnProperty.call(NAMED, ref)) value = NAMED[ref];
    } else {
        const code = ref[1] === 'x' || ref[1] === 'X' ? parseInt(ref.slice(2), 16) : parseInt(ref.slice(1), 10);
        if (code > 0 && code <= 0x10ffff) value = String.fromCodePoint(code);
    }
    return value === null ? null : { value, length: m[0].length };
}

// Where `c` next stands in `text` at or after a place, remembered from the last look: a
// scan that moves forward costs one pass over the text, however often it asks.
class Finder {
    constructor(text, c) {
        this.text = text;
        this.c = c;
        this.at = -2;
    }

    from(from) {
        if (this.at !== -1 && this.at < from) this.at = this.text.indexOf(this.c, from);
        return this.at < 0 ? this.text.length : this.at;
    }
}

// Cue text without its tags (a tag runs to its ">" or to the end), references decoded:
// one pass, each character looked at once.
function decodeCueText(text) {
    const n = text.length;
    const tag = new Finder(text, '<'), amp = new Finder(text, '&'), close = new Finder(text, '>');
    let out = '', i = 0;
    while (i < n && out.length <= MAX_CUE_TEXT) {
        const c = text[i];
        if (c === '<') {
            i = Math.min(n, close.from(i + 1) + 1);
        } else if (c === '&') {
            const r = reference(text, i);
            out += r ? r.value : c;
            i += r ? r.length : 1;
        } else {
            const next = Math.min(tag.from(i), amp.from(i));
            out += text.slice(i, Math.min(next, i + MAX_CUE_TEXT + 1));
            i = next;
        }
    }
    return out.length > MAX_CUE_TEXT ? out.slice(0, MAX_CUE_TEXT) + '\u2026' : out;
}

function digits(text, from, count) {
    let value = 0;
    for (let i = from; i < from + count; i++) {
        const d = text.charCodeAt(i) - 48;
        if (!(d >= 0 && d <= 9)) return NaN;
        value = value * 10 + d;
    }
    return value;
}

// WebVTT time: [hh:]mm:ss.ttt, read digit by digit (a file holds two per cue).
function vttTime(text) {
    const tail = text.length - 9;
    if (tail < 0 || text[tail + 2] !== ':' || text[tail + 5] !== '.') return NaN;
    let hours = 0;
    if (tail > 0) {
        if (text[tail - 1] !== ':' || tail - 1 > 10) return NaN;
        hours = digits(text, 0, tail - 1);
    }
    const m = digits(text, tail, 2), s = digits(text, tail + 3, 2), ms = digits(text, tail + 6, 3);
    const total = hours * 3600 + m * 60 + s + ms / 1000;
    return m <= 59 && s <= 59 && total <= MAX_TIME ? total : NaN;
}

const blank = (c) => c === ' ' || c === '\t';

// "START --> END settings": the two times, or null when the line is no timing line.
function timing(line) {
    const arrow = line.indexOf('-->');
    if (arrow < 1 || !blank(line[arrow - 1]) || !blank(line[arrow + 3])) return null;
    let from = arrow + 4;
    while (blank(line[from])) from++;
    let to = from;
    while (to < line.length && !blank(line[to])) to++;
    return { start: vttTime(line.slice(0, arrow).trim()), end: vttTime(line.slice(from, to)) };
}

// A WebVTT file read a part at a time: read(limit) gives up to `limit` more cues, and
// `done` says when the file is through, so a page can read a long file between other
// work. Lines end at CR LF, LF or CR; each character is looked at once.
export class WebVttReader {
    constructor(text) {
        this.text = text;
        this.pos = text.charCodeAt(0) === 0xfeff ? 1 : 0;
        this.cr = new Finder(text, '\r');
        this.lf = new Finder(text, '\n');
        this.done = !/^WEBVTT(?:[ \t]|$)/.test(this.line() || '');
    }

    line() {
        const text = this.text, from = this.pos;
        if (from > text.length) return null;
        const end = Math.min(this.cr.from(from), this.lf.from(from));
        this.pos = end + (text[end] === '\r' && text[end + 1] === '\n' ? 2 : 1);
        return text.slice(from, end);
    }

    read(limit) {
        const cues = [];
        while (!this.done && cues.length < limit) {
            // A block: its timing line (the first or the second), then the cue's text.
            let line, count = 0, times = null;
            const payload = [];
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
    }
}

// Every cue of a WebVTT file, its text with tags taken out and references decoded.
export function parseWebVtt(text) {
    return new WebVttReader(text).read(Infinity);
}
