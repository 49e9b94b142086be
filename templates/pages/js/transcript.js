// What is said: the lecture's cues as a transcript panel and a caption under the slide.

import { element, say } from './dom.js';
import { formatClock } from './text.js';
import { cueIndexAt } from './timeline.js';

// The panel holds this many cues at a time, around where the listener is.
const WINDOW = 200, STEP = 50;

// A window of the cues in the panel: scrolling near either end brings in more and lets
// go of the far end, so a long transcript costs a screenful.
class CueList {
    constructor(list, cues, pick) {
        this.list = list;
        this.cues = cues;
        this.pick = pick;
        this.from = this.to = 0;
        this.marked = -1;
        list.addEventListener('scroll', () => this.extend());
        this.place(0);
    }

    item(i) {
        const cue = this.cues[i], pick = this.pick, item = element('li');
        const holder = element(pick ? 'button' : 'span', 'cm-cue');
        holder.appendChild(element('span', 'cm-time', formatClock(cue.start)));
        holder.appendChild(document.createTextNode(' ' + cue.text));
        if (pick) {
            holder.type = 'button';
            holder.addEventListener('click', () => pick(cue));
        }
        item.appendChild(holder);
        if (i === this.marked) item.setAttribute('aria-current', 'true');
        return item;
    }

    range(from, to) {
        const part = document.createDocumentFragment();
        for (let i = from; i < to; i++) part.appendChild(this.item(i));
        return part;
    }

    // The window begins a step before the cue `at`.
    place(at) {
        this.from = Math.max(0, Math.min(at - STEP, this.cues.length - WINDOW));
        this.to = Math.min(this.cues.length, this.from + WINDOW);
        this.list.textContent = '';
        this.list.appendChild(this.range(this.from, this.to));
    }

    extend() {
        const list = this.list, near = list.clientHeight;
        if (list.scrollTop + 2 * near >= list.scrollHeight && this.to < this.cues.length) {
            const more = Math.min(this.cues.length, this.to + STEP);
            list.appendChild(this.range(this.to, more));
            this.to = more;
            while (this.to - this.from > WINDOW) {
                const first = list.firstChild, height = first.offsetHeight;
                list.removeChild(first);
                list.scrollTop -= height;
                this.from++;
            }
        } else if (list.scrollTop <= near && this.from > 0) {
            const less = Math.max(0, this.from - STEP), before = list.scrollHeight;
            list.insertBefore(this.range(less, this.from), list.firstChild);
            list.scrollTop += list.scrollHeight - before;
            this.from = less;
            while (this.to - this.from > WINDOW) {
                list.removeChild(list.lastChild);
                this.to--;
            }
        }
    }

    mark(at) {
        const list = this.list, old = list.querySelector('[aria-current]');
        if (old) old.removeAttribute('aria-current');
        this.marked = at;
        if (at < 0) return;
        if (at < this.from || at >= this.to) this.place(at);
        const item = list.children[at - this.from];
        item.setAttribute('aria-current', 'true');
        // Only the panel scrolls: the slide stays where the listener looks.
        list.scrollTop = item.offsetTop - (list.clientHeight - item.offsetHeight) / 2;
    }
}

export class Transcript {
    // pick(cue) plays from a cue; null while the lecture cannot play.
    constructor(panel, list, caption, cues, pick) {
        this.cues = cues;
        this.caption = caption;
        this.shown = undefined;
        this.list = new CueList(list, cues, pick);
        panel.hidden = false;
        if (caption) caption.hidden = false;
        document.body.setAttribute('data-cm-transcript', 'shown');
    }

    at(t) {
        const at = cueIndexAt(this.cues, t);
        if (at === this.shown) return;
        this.shown = at;
        say(this.caption, at < 0 ? '' : this.cues[at].text);
        this.list.mark(at);
    }
}
