// The index page: the writer's table gets a caption, header cells and start times that
// play; a search hides the rows that do not match. Rows are never added.

import { byId, element, say, served } from './dom.js';
import { loadWebVtt } from './lecture.js';
import { parseClock, slideFile, slideNumber } from './text.js';
import { searchRows } from './timeline.js';

const TRANSCRIPT_FILE = 'captions.vtt';

export function improveIndex() {
    const table = document.querySelector('table');
    if (!table) return;
    const holder = table.closest('[data-cm-caption]');
    if (!table.caption && holder) table.createCaption().textContent = holder.getAttribute('data-cm-caption');
    const head = table.rows[0];
    if (!head || head.querySelector('th')) return;
    for (const td of [...head.cells]) {
        const th = document.createElement('th');
        th.scope = 'col';
        th.textContent = td.textContent.trim();
        head.replaceChild(th, td);
    }
    const rows = [...table.rows].slice(1).map((tr) => {
        const page = tr.querySelector('a[href]'), cell = tr.cells[2];
        const n = page ? slideNumber(page.getAttribute('href')) : 0;
        const start = cell ? parseClock(cell.textContent) : NaN;
        if (n && !isNaN(start) && served()) {
            const link = element('a', 'cm-start', cell.textContent.trim());
            link.setAttribute('href', slideFile(n) + '#t=' + start + '&play');
            cell.textContent = '';
            cell.appendChild(link);
        }
        return { tr, title: page ? page.textContent.trim() : '', start };
    });
    searchIndex(rows);
}

function searchIndex(rows) {
    const input = byId('cm-search'), found = byId('cm-found');
    if (!input) return;
    let spoken = [];
    const filter = () => {
        const keep = searchRows(rows, spoken, input.value);
        rows.forEach((row, i) => {
            row.tr.hidden = !keep[i];
        });
        const shown = keep.filter(Boolean).length;
        say(found, input.value.trim() ? `${shown} of ${rows.length} slides` : '');
    };
    input.closest('.cm-search').hidden = false;
    input.addEventListener('input', filter);
    if (served()) loadWebVtt(TRANSCRIPT_FILE).then((cues) => {
        spoken = cues;
        filter();
        document.body.setAttribute('data-cm-transcript', 'shown');
    });
}
