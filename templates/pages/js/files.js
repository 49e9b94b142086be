// Readers of the files a presentation holds besides WebVTT: the metafiles, the event list,
// the preload data block and the table of the lecture each page carries.

import { MAX_TIME, seconds, slideFile, slideNumber } from './text.js';

const clockSeconds = (h, m, s) => seconds([h, m, s], [3600, 60, 1]);

// One metafile line: the audio URL, then ?start="hh:nn:ss"&end="hh:nn:ss".
export function parseMetafile(text) {
    const line = text.replace(/^\uFEFF/, '').split(/\r?\n|\r/)[0].trim();
    const at = line.toLowerCase().lastIndexOf('?start=');
    if (!line || at < 0) return null;
    const m = /^\?start="?(\d+):(\d+):(\d+)"?(?:&end="?(\d+):(\d+):(\d+)"?)?/i.exec(line.slice(at));
    if (!m) return null;
    const start = clockSeconds(m[1], m[2], m[3]);
    const end = m[4] === undefined ? Infinity : clockSeconds(m[4], m[5], m[6]);
    if (isNaN(start) || isNaN(end)) return null;
    return { url: line.slice(0, at), start, end };
}

// The event file's name as the post-processor derives it from the audio URL; '' when
// there is none or it is no plain name, as the event file lies beside the pages only.
export function eventFileName(audioUrl) {
    const at = audioUrl.toLowerCase().indexOf('.ra');
    if (at < 0) return '';
    const base = audioUrl.slice(0, at);
    let cut = base.lastIndexOf('/');
    if (cut < 0) cut = base.indexOf(':');
    const name = base.slice(cut + 1) + '.rae';
    return /[\\/]/.test(name) ? '' : name;
}

// Event list line, read as cevents reads it: "u DD:HH:MM:SS.T DD:HH:MM:SS.T URL", one
// blank between the parts, the URL the rest of the line (blanks and all).
const EVENT_TIME = '(\\d{1,2}):(\\d{1,2}):(\\d{1,2}):(\\d{1,2})\\.(\\d{1,3})';
const EVENT_LINE = new RegExp('^u ' + EVENT_TIME + ' ' + EVENT_TIME + ' (.+)$');
const EVENT_LIMITS = [99, 23, 59, 59];

function eventTime(m, k) {
    for (let i = 0; i < 4; i++)
        if (parseInt(m[k + i], 10) > EVENT_LIMITS[i]) return NaN;
    return seconds(m.slice(k, k + 4), [86400, 3600, 60, 1], m[k + 4]);
}

export function parseEventList(text) {
    const cues = [];
    for (const row of text.split(/\r\n|\r|\n/)) {
        const m = EVENT_LINE.exec(row);
        if (!m) continue;
        const start = eventTime(m, 1), end = eventTime(m, 6);
        if (end > start) cues.push({ start, end, text: m[11] });
    }
    return cues;
}

// Cues that name a slide page, by its number, in the order they play.
export function pageCues(cues) {
    return cues.map((c) => ({ start: c.start, end: c.end, n: slideNumber(c.text) }))
        .filter((c) => c.n > 0)
        .sort((a, b) => a.start - b.start);
}

// The preload data block: the slide images and the audio URL.
export function parsePreload(text) {
    const data = { images: [], audio: null };
    for (const line of text.split(/\r\n|\r|\n/)) {
        let m = /^\s*SLDtoGIF\s*\(\s*(\d+)\s*\)\s*=\s*"([^"]*)"/i.exec(line);
        if (m) data.images.push(m[2]);
        m = /^\s*AudioURL\s*=\s*"([^"]*)"/i.exec(line);
        if (m) data.audio = m[1];
    }
    return data;
}

const text = (v) => (typeof v === 'string' ? v : '');
const lines = (v) => (Array.isArray(v) ? v.filter((x) => typeof x === 'string') : []);
const time = (v) => (typeof v === 'number' && v >= 0 && v <= MAX_TIME ? v : NaN);

// The lecture's table as a page carries it (JSON), checked field by field; null when it
// is missing or makes no sense, and the page then reads the lecture's other files. Pages
// are named by their row, whatever a row says, and the chapters file lies beside them.
export function parseLecture(json) {
    let data;
    try {
        data = JSON.parse(json);
    } catch (e) {
        return null;
    }
    if (!data || !Array.isArray(data.rows) || !data.rows.length || data.rows.length > 999) return null;
    const rows = data.rows.map((r, i) => ({
        page: slideFile(i + 1), image: text(r && r.image), title: text(r && r.title),
        start: time(r && r.start), stop: time(r && r.stop),
        slide: r && Number.isInteger(r.slide) && r.slide > 0 ? r.slide : 0,
        text: lines(r && r.text), notes: lines(r && r.notes),
    }));
    if (rows.some((r) => isNaN(r.start) || isNaN(r.stop) || r.stop < r.start)) return null;
    const chapters = text(data.chapters);
    return {
        audio: text(data.audio),
        chapters: /^[\w.-]+\.vtt$/i.test(chapters) ? chapters : 'chapters.vtt',
        page: Number.isInteger(data.page) && data.page >= 0 && data.page <= rows.length ? data.page : 0,
        rows,
    };
}
