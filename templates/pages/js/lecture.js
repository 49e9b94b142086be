// What a page knows of the lecture: the table it carries, or else what the lecture's
// other files say (the metafile, the event file or list, the index's titles).

import { fetchText } from './dom.js';
import { eventFileName, pageCues, parseEventList, parseLecture, parseMetafile } from './files.js';
import { nnn, slideFile, slideNumber } from './text.js';
import { WebVttReader } from './webvtt.js';

const none = () => [];
const CUES_PER_TASK = 2000;

// The table the writers put into the page, or null.
export function lectureTable() {
    const block = document.getElementById('cm-lecture');
    return block ? parseLecture(block.textContent) : null;
}

// A WebVTT file beside the pages, read a part at a time between other work so a long
// file never holds up a click; its cues in the order they begin, [] when it is missing.
export async function loadWebVtt(name) {
    let text;
    try {
        text = await fetchText(encodeURIComponent(name));
    } catch (e) {
        return [];
    }
    const reader = new WebVttReader(text), cues = [];
    while (!reader.done) {
        cues.push(...reader.read(CUES_PER_TASK));
        if (!reader.done) await new Promise((resolve) => setTimeout(resolve, 0));
    }
    return cues.sort((a, b) => a.start - b.start);
}

// The event file first, and only from beside the pages; the event list when there is
// none or it holds no cue.
export async function loadCues(audioUrl) {
    const name = eventFileName(audioUrl);
    const cues = name ? pageCues(await loadWebVtt(name)) : [];
    if (cues.length) return cues;
    return fetchText('cevents.txt').then((text) => pageCues(parseEventList(text)), none);
}

// The slide cues of the table: one per row that lasts, as the event list has them.
export function tableCues(rows) {
    return rows.map((r, i) => ({ start: r.start, end: r.stop, n: i + 1 })).filter((c) => c.end > c.start);
}

// Slide titles from the index page's table, by page number.
export function loadTitles() {
    return fetchText('index.htm').then((text) => {
        const doc = new DOMParser().parseFromString(text, 'text/html');
        const titles = {};
        for (const a of doc.querySelectorAll('td a[href]')) {
            const n = slideNumber(a.getAttribute('href'));
            if (n) titles[n] = a.textContent.trim();
        }
        return titles;
    }, () => ({}));
}

// The metafile read (null when it makes no sense, undefined when it cannot be had).
export function loadMetafile(url) {
    return fetchText(url).then(parseMetafile, () => undefined);
}

// What a slide page shows, read from that page itself where the page carries no table.
export async function loadPage(n) {
    const url = new URL(slideFile(n), location.href).href;
    const doc = new DOMParser().parseFromString(await fetchText(url), 'text/html');
    const link = (id) => {
        const a = doc.getElementById(id);
        const target = a && a.getAttribute('href');
        return { href: target, hidden: !a || a.hidden || !target };
    };
    const image = doc.getElementById('cm-slide'), play = doc.getElementById('cm-play');
    return {
        image: image ? image.getAttribute('src') : null,
        title: image ? image.getAttribute('alt') : '',
        prev: link('cm-prev'),
        next: link('cm-next'),
        ram: play ? play.getAttribute('href') : `tsld${nnn(n)}.ram`,
    };
}
