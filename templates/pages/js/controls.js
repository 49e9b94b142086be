// The controls the player adds to a slide page: one play button whose icon follows the
// audio, the position bar, mute, captions, speed, "Copy link here", full screen, and
// "Resume at".

import { element, say, store } from './dom.js';
import { MAX_TIME, formatClock, shortClock, slideFile } from './text.js';

// "Play from here" becomes the button that plays and pauses; the link stays the place
// the page's metafile is named, and comes back where the lecture cannot play.
export class PlayButton {
    constructor(link, bar, toggle) {
        this.link = link;
        const button = this.button = element('button', 'cm-play');
        button.type = 'button';
        button.appendChild(element('span', 'cm-icon')).setAttribute('aria-hidden', 'true');
        this.label = button.appendChild(element('span', 'cm-label', 'Play'));
        link.removeAttribute('id');
        link.hidden = true;
        button.id = 'cm-play';
        bar.insertBefore(button, bar.firstChild);
        button.addEventListener('click', toggle);
        this.playing(false);
    }

    playing(on) {
        this.button.setAttribute('data-cm-playing', String(on));
        say(this.label, on ? 'Pause' : 'Play');
    }

    backToLink() {
        this.button.remove();
        this.link.id = 'cm-play';
        this.link.hidden = false;
    }
}

// The position in the lecture, its time beside it and a mark at every slide's start.
export class PositionBar {
    constructor(el, end, starts, seek) {
        const input = this.input = el.seek;
        this.time = el.time;
        this.end = end;
        this.dragging = false;
        input.max = String(Math.ceil(end));
        for (const s of starts) {
            const mark = el.marks.appendChild(element('option'));
            mark.value = String(s);
        }
        input.addEventListener('input', () => seek(Number(input.value)));
        input.addEventListener('pointerdown', () => {
            this.dragging = true;
        });
        input.addEventListener('pointerup', () => {
            this.dragging = false;
        });
        this.show(0);
    }

    show(t) {
        const text = `${shortClock(t)} / ${shortClock(this.end)}`;
        say(this.time, text);
        if (this.dragging) return;
        this.input.value = String(Math.floor(t));
        this.input.setAttribute('aria-valuetext', `${shortClock(t)} of ${shortClock(this.end)}`);
    }
}

// A button that is on or off (Mute, Captions): aria-pressed says which.
export function toggleButton(button, on, change) {
    button.hidden = false;
    button.setAttribute('aria-pressed', String(on));
    button.addEventListener('click', () => change(button.getAttribute('aria-pressed') !== 'true'));
    return (state) => button.setAttribute('aria-pressed', String(state));
}

export function fullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
}

// Speed (kept for the next page) and full screen.
export function speedAndFullScreen(el, setRate) {
    const { speed, full } = el;
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

// Copies the address of this moment; where the browser will not, shows it to copy by hand.
export async function copyLink(address, tell) {
    const url = new URL(address, location.href).href;
    try {
        await navigator.clipboard.writeText(url);
        tell(`Copied the link to this moment: ${url}`);
    } catch (e) {
        tell(`The browser did not let the page copy; the link to this moment is ${url}`);
    }
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
    link.textContent = `Resume at ${formatClock(t)} (slide ${n})`;
    link.hidden = false;
    link.addEventListener('click', (e) => {
        if (n !== shown()) return;
        e.preventDefault();
        play(t);
    });
}
