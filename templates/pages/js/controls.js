// The controls the player adds to a slide page: the play button, speed, full screen and
// "Resume at".

import { element, say, store } from './dom.js';
import { MAX_TIME, formatClock, slideFile } from './text.js';

// "Play from here" becomes a button that plays and pauses; the link stays the place the
// page's metafile is read from, and comes back where the lecture cannot play.
export class PlayButton {
    constructor(link, toggle) {
        this.link = link;
        const button = this.button = element('button', 'cm-play');
        const icon = link.querySelector('img');
        button.type = 'button';
        if (icon) button.appendChild(icon.cloneNode(false));
        this.label = button.appendChild(element('span', '', 'Play from here'));
        link.removeAttribute('id');
        link.parentNode.replaceChild(button, link);
        button.id = 'cm-play';
        button.addEventListener('click', toggle);
    }

    playing(on) {
        say(this.label, on ? 'Pause' : 'Play from here');
    }

    backToLink() {
        const { button, link } = this;
        if (!button.parentNode) return;
        button.removeAttribute('id');
        button.parentNode.replaceChild(link, button);
        link.id = 'cm-play';
    }
}

export function fullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
}

// Speed (kept for the next page) and full screen.
export function showControls(el, setRate) {
    const { speed, full } = el;
    if (!el.controls) return;
    el.controls.hidden = false;
    const kept = store.get('speed');
    if (speed && kept && speed.querySelector(`option[value="${Number(kept)}"]`)) speed.value = String(Number(kept));
    const rate = () => setRate(speed ? Number(speed.value) : 1);
    if (speed) speed.addEventListener('change', () => {
        store.set('speed', speed.value);
        rate();
    });
    rate();
    if (full && !document.fullscreenEnabled) full.hidden = true;
    else if (full) full.addEventListener('click', fullScreen);
    document.addEventListener('fullscreenchange', () => {
        const on = !!document.fullscreenElement;
        document.body.classList.toggle('cm-full', on);
        say(full, on ? 'Leave full screen' : 'Full screen');
    });
}

// Where this browser last was in the lecture, when that is not here; play(t) plays from
// there on this page.
export function offerResume(link, shown, here, play) {
    const last = store.get('position');
    if (!link || !last) return;
    const n = Number(last.n), t = Number(last.t);
    if (!(n >= 1 && n <= 999 && n === Math.floor(n) && t >= 0 && t <= MAX_TIME)) return;
    if (n === shown() && Math.abs(t - here) < 2) return;
    link.setAttribute('href', slideFile(n) + '#t=' + Math.floor(t) + '&play');
    link.textContent = `Resume at ${formatClock(t)} (page ${n})`;
    link.hidden = false;
    link.addEventListener('click', (e) => {
        if (n !== shown()) return;
        e.preventDefault();
        play(t);
    });
}
