// Turning the slide page in place: image, links, title, heading and address follow the
// audio, read from the page of the slide to show.

import { say } from './dom.js';
import { loadPage, loadTitles } from './lecture.js';
import { deckNumber, slideFile, slideNumber } from './text.js';

// What the slide pages hold, read from the pages themselves and the index's titles.
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
        if (!this.pages[n]) this.pages[n] = loadPage(n);
        return this.pages[n];
    }
}

export class Turner {
    constructor(el, source, shown) {
        this.el = el;
        this.source = source;
        this.shown = shown;
        this.turning = false;
    }

    // Named as the deck numbers the slide (its image), placed as the lecture pages it.
    label(n) {
        const el = this.el, title = this.source.title(n), count = this.source.count;
        const deck = deckNumber(el.image.getAttribute('src'));
        const place = `page ${n}` + (count ? ` of ${count}` : '');
        el.image.alt = title;
        say(el.heading, (deck ? `Slide ${deck}` : 'Pause') + `: ${title} (${place})`);
        document.title = `${title} (` + (deck ? `slide ${deck}, ` : '') + `${place})`;
    }

    // A one-slide lecture's first page links a next page that was never written.
    hideMissingNeighbours() {
        const count = this.source.count, { prev, next } = this.el;
        if (!count) return;
        if (prev && this.shown <= 1) prev.hidden = true;
        if (next && this.shown >= count) next.hidden = true;
    }

    // The address names the slide shown and its start, so a copied address opens it.
    setAddress(start) {
        const address = slideFile(this.shown) + '#t=' + Math.round(start * 10) / 10;
        if (this.turning || location.href.endsWith(address)) return;
        history.replaceState(history.state, '', address);
    }

    show(n, start) {
        if (n === this.shown) return;
        const el = this.el, source = this.source;
        this.shown = n;
        this.turning = true;
        source.page(n).then((page) => {
            if (this.shown !== n) return;
            this.turning = false;
            if (page.title && !source.titles[n]) source.titles[n] = page.title;
            // Every page lies in this folder, so its relative links hold here too.
            if (page.image) el.image.setAttribute('src', page.image);
            setLink(el.prev, page.prev);
            setLink(el.next, page.next);
            el.ram.setAttribute('href', page.ram);
            this.setAddress(start);
            this.label(n);
            this.hideMissingNeighbours();
            say(el.live, `Slide ${n}: ${source.title(n)}`);
            document.body.setAttribute('data-cm-shown', String(n));
        }, () => {
            if (this.shown === n) {
                this.turning = false;
                this.shown = slideNumber(location.pathname);
            }
        });
    }
}

function setLink(a, link) {
    if (!a) return;
    if (link.href) a.setAttribute('href', link.href);
    else a.removeAttribute('href');
    a.hidden = link.hidden;
}
