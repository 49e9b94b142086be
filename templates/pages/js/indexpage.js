// The index page: the writer's table gets a caption, header cells and start times that
// play; a search over titles, slide text, notes and what is said hides the rows that do
// not match and lists the words found, each a link that plays from there. The chapter
// list stands beside it. Rows are never added to the table.

import { ChapterList } from './chapters.js';
import { byId, element, say, served } from './dom.js';
import { lectureTable, loadWebVtt } from './lecture.js';
import { parseClock, shortClock, slideFile, slideNumber } from './text.js';
import { chapterEntries, searchable, searchLecture } from './timeline.js';

const TRANSCRIPT_FILE = 'captions.vtt';
// A search shows this many matches at most; the rows it keeps say the rest.
const MAX_MATCHES = 50;

function improveTable(table) {
    const holder = table.closest('[data-cm-caption]');
    if (!table.caption && holder) table.createCaption().textContent = holder.getAttribute('data-cm-caption');
    const head = table.rows[0];
    if (!head || head.querySelector('th')) return null;
    for (const td of [...head.cells]) {
        const th = document.createElement('th');
        th.scope = 'col';
        th.textContent = td.textContent.trim();
        head.replaceChild(th, td);
    }
    return [...table.rows].slice(1).map((tr) => {
        const page = tr.querySelector('a[href]'), cell = tr.cells[2];
        const n = page ? slideNumber(page.getAttribute('href')) : 0;
        const start = cell ? parseClock(cell.textContent) : NaN;
        if (n && !isNaN(start) && served()) {
            const link = element('a', 'cm-start', cell.textContent.trim());
            link.setAttribute('href', slideFile(n) + '#t=' + start + '&play');
            cell.textContent = '';
            cell.appendChild(link);
        }
        return { tr, n, title: page ? page.textContent.trim() : '', start };
    });
}

export function improveIndex() {
    const table = document.querySelector('table');
    const rows = table ? improveTable(table) : null;
    if (!rows) return;
    const lecture = lectureTable();
    // The pages as the search and the chapters see them: the table the page carries,
    // else the index's own rows.
    const pages = lecture && lecture.rows.length === rows.length ?
        lecture.rows.map((r, i) => ({ ...r, key: r.slide > 0 ? 'image:' + r.image : 'page:' + (i + 1) })) :
        rows.map((r) => ({ title: r.title, start: r.start, text: [], notes: [], key: 'title:' + r.title }));
    const search = new Search(rows, pages);
    if (!served()) return;
    loadWebVtt(TRANSCRIPT_FILE).then((cues) => {
        search.heard(cues);
        document.body.setAttribute('data-cm-transcript', 'shown');
    });
    const section = byId('cm-chapters');
    if (section) loadWebVtt(lecture ? lecture.chapters : 'chapters.vtt').then((chapters) => {
        if (chapters.length) new ChapterList(section, chapterEntries(chapters, pages), null);
    });
}

class Search {
    constructor(rows, pages) {
        this.rows = rows;
        this.pages = pages;
        this.prepared = searchable(pages, []);
        this.input = byId('cm-search');
        this.found = byId('cm-found');
        this.matches = byId('cm-matches');
        const input = this.input;
        if (!input) return;
        const form = input.closest('.cm-search');
        form.hidden = false;
        form.addEventListener('submit', (e) => e.preventDefault());
        input.addEventListener('input', () => this.run());
    }

    heard(cues) {
        this.prepared = searchable(this.pages, cues);
        if (this.input) this.run();
    }

    run() {
        const query = this.input.value, { keep, matches } = searchLecture(this.prepared, query);
        this.rows.forEach((row, i) => {
            row.tr.hidden = !keep[i];
        });
        const shown = keep.filter(Boolean).length;
        say(this.found, query.trim() ? `${shown} of ${this.rows.length} slides` : '');
        this.list(query.trim() ? matches.slice(0, MAX_MATCHES) : []);
    }

    list(matches) {
        const box = this.matches;
        if (!box) return;
        box.textContent = '';
        for (const m of matches) {
            const link = box.appendChild(element('li')).appendChild(element('a', 'cm-match'));
            link.setAttribute('href', `${slideFile(m.n)}#t=${Math.floor(m.start)}&play`);
            link.appendChild(element('span', 'cm-match-where', `Slide ${m.n} \u00b7 ${shortClock(m.start)} \u00b7 ${m.where}`));
            const text = link.appendChild(element('span', 'cm-match-text'));
            for (const piece of m.pieces) text.appendChild(piece.mark ? element('mark', '', piece.text) :
                document.createTextNode(piece.text));
        }
        box.hidden = matches.length === 0;
    }
}
