// Turning the slide page in place: image, words, links, title, heading and address follow
// the audio. The next slide's image is fetched ahead, so a turn shows it at once.

import { byId, element, say } from './dom.js';
import { momentAddress, slideNumber } from './text.js';

export class Turner {
    // hooks.shown(n) hears of every page shown.
    constructor(el, source, shown, hooks) {
        this.el = el;
        this.source = source;
        this.shown = shown;
        this.hooks = hooks;
        this.turning = false;
        this.ahead = new Map();
    }

    // Numbered as the index numbers its rows, so the two agree after a pause row.
    label(n) {
        const el = this.el, title = this.source.title(n), count = this.source.count;
        const place = `Slide ${n}` + (count ? ` of ${count}` : '');
        el.image.alt = title;
        say(el.heading, `${place}: ${title}`);
        document.title = `${title} (${place.toLowerCase()})`;
    }

    // A one-slide lecture's first page links a next page that was never written.
    hideMissingNeighbours() {
        const count = this.source.count, { prev, next } = this.el;
        if (!count) return;
        if (prev && this.shown <= 1) prev.hidden = true;
        if (next && this.shown >= count) next.hidden = true;
    }

    // The address names the slide shown and the second the lecture is at.
    setAddress(t) {
        const address = momentAddress(this.shown, t);
        if (this.turning || location.href.endsWith(address)) return;
        history.replaceState(history.state, '', address);
    }

    // The slide's words, for screen readers and search engines; the writers put this
    // page's own in, and a turn in place brings the next one's.
    words(page) {
        if (!page.text) return;
        let box = byId('cm-words');
        const panel = this.el.wordsPanel;
        if (!box && panel) {
            box = panel.appendChild(element('div'));
            box.id = 'cm-words';
        }
        if (!box) return;
        box.textContent = '';
        box.appendChild(element('h2', 'cm-words-title', page.title));
        const list = box.appendChild(element('ul'));
        list.id = 'cm-slide-text';
        for (const line of page.text) list.appendChild(element('li', '', line));
        const notes = box.appendChild(element('div'));
        notes.id = 'cm-slide-notes';
        for (const line of page.notes) notes.appendChild(element('p', '', line));
        if (panel) panel.hidden = !page.text.length && !page.notes.length;
    }

    // The image of page n into the browser's cache, decoded.
    fetchAhead(n) {
        const source = this.source;
        if (n < 1 || (source.count && n > source.count) || this.ahead.has(n)) return;
        const url = source.image(n);
        if (url === null) {
            // Pages without the table: the page is read first, then its image.
            this.ahead.set(n, true);
            Promise.resolve(source.page(n)).then((page) => this.fetchImage(page.image), () => {});
            return;
        }
        this.ahead.set(n, this.fetchImage(url));
    }

    fetchImage(url) {
        if (!url) return null;
        const image = new Image();
        image.src = url;
        if (image.decode) image.decode().catch(() => {});
        return image;
    }

    apply(n, page, t) {
        const el = this.el;
        this.turning = false;
        // Every page lies in this folder, so its relative links hold here too.
        if (page.image) el.image.setAttribute('src', page.image);
        setLink(el.prev, page.prev);
        setLink(el.next, page.next);
        el.ram.setAttribute('href', page.ram);
        this.words(page);
        this.setAddress(t);
        this.label(n);
        this.hideMissingNeighbours();
        say(el.live, `Slide ${n}: ${this.source.title(n)}`);
        document.body.setAttribute('data-cm-shown', String(n));
        this.hooks.shown(n);
        this.fetchAhead(n + 1);
    }

    // Shows page n at lecture time t.
    show(n, t) {
        if (n === this.shown) return;
        this.shown = n;
        const page = this.source.page(n);
        if (!page.then) return this.apply(n, page, t);
        this.turning = true;
        page.then((read) => {
            if (this.shown === n) this.apply(n, read, t);
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
