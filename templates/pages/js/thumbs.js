// A strip of slide thumbnails along the lecture, the current one marked; a click plays
// from that slide.

import { element } from './dom.js';
import { shortClock } from './text.js';

export class Thumbs {
    // rows: the lecture's table; pick(n) plays from page n.
    constructor(list, rows, pick) {
        this.list = list;
        this.items = rows.map((row, i) => {
            const n = i + 1, item = list.appendChild(element('li'));
            const button = item.appendChild(element('button', 'cm-thumb'));
            button.type = 'button';
            const image = button.appendChild(element('img'));
            image.alt = '';
            image.loading = 'lazy';
            image.decoding = 'async';
            image.setAttribute('src', row.image);
            button.appendChild(element('span', 'cm-thumb-label', `${n} \u00b7 ${shortClock(row.start)}`));
            button.appendChild(element('span', 'cm-hidden', `: ${row.title || 'slide ' + n}`));
            button.addEventListener('click', () => pick(n));
            return button;
        });
        list.hidden = false;
    }

    mark(n) {
        const old = this.list.querySelector('[aria-current]');
        if (old) old.removeAttribute('aria-current');
        const button = this.items[n - 1];
        if (!button) return;
        button.setAttribute('aria-current', 'true');
        // Only the strip scrolls, never the page under the listener; the strip is the
        // items' offset parent.
        const strip = this.list, item = button.parentNode;
        const left = item.offsetLeft, right = left + item.offsetWidth;
        if (left < strip.scrollLeft || right > strip.scrollLeft + strip.clientWidth)
            strip.scrollLeft = left - (strip.clientWidth - item.offsetWidth) / 2;
    }
}
