// The chapter list: one entry per slide, titled as its row; a slide shown twice is one
// entry with both times ("also at 0:46"). Each time is a link that plays from there.

import { element } from './dom.js';
import { shortClock, slideFile } from './text.js';
import { entryOfPage } from './timeline.js';

export class ChapterList {
    // Fills in `section` (a page's empty chapters panel) with entries from chapterEntries;
    // pick(time), when given, plays on this page instead of following the link.
    constructor(section, entries, pick) {
        const title = section.appendChild(element('h2', '', 'Chapters'));
        title.id = 'cm-chapters-title';
        const list = section.appendChild(element('ol', 'cm-chapter-list'));
        list.id = 'cm-chapter-list';
        this.entries = entries;
        this.items = entries.map((entry) => {
            const item = list.appendChild(element('li'));
            entry.times.forEach((time, k) => {
                if (k) item.appendChild(document.createTextNode(' '));
                const link = item.appendChild(element('a', k ? 'cm-also' : 'cm-chapter'));
                link.setAttribute('href', `${slideFile(time.n)}#t=${Math.floor(time.start)}&play`);
                if (k) {
                    link.textContent = `also at ${shortClock(time.start)}`;
                } else {
                    link.appendChild(element('span', 'cm-chapter-title', entry.title || `Slide ${time.n}`));
                    link.appendChild(document.createTextNode(' '));
                    link.appendChild(element('span', 'cm-chapter-time', shortClock(time.start)));
                }
                if (pick) link.addEventListener('click', (e) => {
                    if (pick(time) !== false) e.preventDefault();
                });
            });
            return item;
        });
        section.hidden = false;
    }

    mark(n) {
        const at = entryOfPage(this.entries, n);
        this.items.forEach((item, i) => {
            if (i === at) item.setAttribute('aria-current', 'true');
            else item.removeAttribute('aria-current');
        });
    }
}
