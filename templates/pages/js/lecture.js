// What a page knows of the lecture: the table it carries, or else what the lecture's
// other files say (the metafile, the event file or list, the index's titles).

import { fetchText } from './dom.js';
import { eventFileName, pageCues, parseEventList, parseLecture, parseMetafile } from './files.js';
import { nnn, slideFile, slideNumber } from './text.js';
import { WebVttReader } from './webvtt.js';

const none = () => [];
// A long file is read in parts of this many cues, as many parts a task as fit in its
// budget of milliseconds, so a click waits no longer than that, however busy the machine.
const CUES_PER_PART = 200, TASK_BUDGET = 10;

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
    for (let began = performance.now(); !reader.done; began = performance.now()) {
        while (!reader.done && performance.now() - began < TASK_BUDGET) cues.push(...reader.read(CUES_PER_PART));
        if (!reader.done) await new Promise((resolve) => setTimeout(resolve, 0));
    }
    // A file keeps its cues in order, as WebVTT asks; one that does not is put in order.
    const ordered = cues.every((c, i) => i === 0 || cues[i - 1].start <= c.start);
    return ordered ? cues : cues.sort((a, b) => a.start - b.start);
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
async function loadPage(n) {
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

// What a slide page shows, from the table the page carries: nothing is fetched to turn.
export class TableSource {
    constructor(table) {
        this.table = table;
        this.rows = table.rows;
        this.count = table.rows.length;
    }

    title(n) {
        const row = this.rows[n - 1];
        return (row && row.title) || `Slide ${n}`;
    }

    page(n) {
        const row = this.rows[n - 1], count = this.count;
        const link = (k) => (k >= 1 && k <= count ? { href: slideFile(k), hidden: false } : { href: null, hidden: true });
        return { image: row.image, title: row.title, prev: link(n - 1), next: link(n + 1), ram: `tsld${nnn(n)}.ram`,
            text: row.text, notes: row.notes };
    }

    image(n) {
        const row = this.rows[n - 1];
        return row ? row.image : null;
    }
}

// What the slide pages hold, read from the pages themselves and the index's titles, for
// pages that carry no table.
export class PageSource {
    constructor(shown, image) {
        this.count = 0;
        this.titles = {};
        this.pages = {};
        // Each page carries its own title as the image's text; the index has them all.
        if (image.alt) this.titles[shown] = image.alt;
    }

    async loadTitles() {
        const titles = await loadTitles();
        Object.assign(this.titles, titles);
        this.count = Object.keys(titles).length;
    }

    title(n) {
        return this.titles[n] || `Slide ${n}`;
    }

    page(n) {
        if (!this.pages[n]) {
            this.pages[n] = loadPage(n).then((page) => {
                if (page.title && !this.titles[n]) this.titles[n] = page.title;
                return page;
            });
        }
        return this.pages[n];
    }

    // Known once the page has been read.
    image() {
        return null;
    }
}
