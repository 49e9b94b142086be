// A slide page: plays the lecture from this slide and turns the page with it.

import { LectureAudio, playable } from './audio.js';
import { fullScreen, offerResume, PlayButton, showControls } from './controls.js';
import { byId, say, served, store } from './dom.js';
import { listenToKeys, listenToSwipes } from './keys.js';
import { loadCues, loadMetafile, loadWebVtt } from './lecture.js';
import { fileName, fill, hashPlays, hashTime, slideNumber } from './text.js';
import { cueAt, firstCueOf } from './timeline.js';
import { Transcript } from './transcript.js';
import { PageSource, Turner } from './turning.js';

const MSG = {
    file: 'Opened as a file: serve this folder over http to hear the lecture.',
    noRam: 'No metafile (NAME) beside this page: there is nothing to play.',
    badRam: 'The metafile (NAME) gives no audio URL with start and end times: there is nothing to play.',
    noPlay: 'The lecture\'s audio (URL) cannot be played in a web browser.',
    noEvents: 'No event list (cevents.txt) beside this page: the slides cannot follow the audio.',
    ready: 'Play from here, or press P, to hear the lecture from this slide.',
    gesture: 'Press Play from here, or P, to start the audio.',
    audioFailed: 'The lecture\'s audio (URL) could not be loaded.',
    wholeFile: 'This server cannot seek: loading the whole audio file first.',
    ended: 'End of the lecture.',
};
const TRANSCRIPT_FILE = 'captions.vtt';

export class SlidePage {
    constructor() {
        this.el = {
            prev: byId('cm-prev'), next: byId('cm-next'), ram: byId('cm-play'), image: byId('cm-slide'),
            heading: byId('cm-heading'), status: byId('cm-status'), live: byId('cm-live'),
            audio: byId('cm-audio'), caption: byId('cm-caption'), controls: byId('cm-controls'),
            speed: byId('cm-speed'), full: byId('cm-full'), resume: byId('cm-resume'),
            transcript: byId('cm-transcript'), cueList: byId('cm-cues'),
        };
        this.cues = [];
        this.ready = false;
        this.savedAt = 0;
    }

    status(text, state) {
        say(this.el.status, text);
        document.body.setAttribute('data-cm-state', state);
    }

    get shown() {
        return this.turner ? this.turner.shown : slideNumber(location.pathname);
    }

    start() {
        const el = this.el;
        listenToKeys({
            ready: () => this.ready,
            toggle: () => this.toggle(),
            step: (delta) => this.step(delta),
            fullScreen,
        });
        for (const [link, delta] of [[el.prev, -1], [el.next, 1]]) {
            if (link) link.addEventListener('click', (e) => {
                if (this.seekToSlide(this.shown + delta)) e.preventDefault();
            });
        }
        if (!served()) return this.status(MSG.file, 'plain');
        // A page made from other templates keeps its own links.
        if (!el.ram || !el.image || !this.shown) return this.status('', 'plain');
        listenToSwipes(el.image, (delta) => this.step(delta));
        const source = this.source = new PageSource(this.shown, el.image);
        this.turner = new Turner(el, source, this.shown);
        this.turner.label(this.shown);
        source.loadTitles().then(() => {
            this.turner.label(this.shown);
            this.turner.hideMissingNeighbours();
        });
        const spoken = loadWebVtt(TRANSCRIPT_FILE);
        this.prepare().then(() => spoken).then((cues) => this.showTranscript(cues));
    }

    async prepare() {
        const ram = this.el.ram, ramName = fileName(ram.getAttribute('href') || '');
        const meta = await loadMetafile(ram.href);
        if (!meta) return this.status(fill(meta === null ? MSG.badRam : MSG.noRam, 'NAME', ramName), 'plain');
        let url = null;
        try {
            url = new URL(meta.url, ram.href);
        } catch (e) {
            // No URL at all: said as one that cannot be played.
        }
        if (!url || !playable(url)) return this.status(fill(MSG.noPlay, 'URL', meta.url), 'plain');
        const cues = await loadCues(meta.url);
        if (!cues.length) return this.status(MSG.noEvents, 'plain');
        this.cues = cues;
        this.becomeReady(url, meta);
    }

    // The audio is set up before any click, at this slide's start or the time the address
    // asks for, so that a click has only to start it.
    becomeReady(url, meta) {
        this.ready = true;
        this.end = meta.end;
        this.audio = new LectureAudio(this.el.audio, url, {
            moved: () => this.follow(),
            playing: () => {
                this.status('', 'playing');
                this.button.playing(true);
                if (this.el.resume) this.el.resume.hidden = true;
            },
            paused: () => {
                this.button.playing(false);
                this.remember(true);
            },
            ended: () => this.status(MSG.ended, 'ready'),
            failed: () => this.fail(),
            wholeFile: (state) => state === 'loading' ? this.status(MSG.wholeFile, 'loading') :
                this.status(fill(MSG.audioFailed, 'URL', url.href), 'ready'),
        });
        this.el.audio.hidden = false;
        this.button = new PlayButton(this.el.ram, () => this.toggle());
        showControls(this.el, (rate) => this.audio.setRate(rate));
        this.status(MSG.ready, 'ready');
        const hash = location.hash, asked = hashTime(hash);
        const cue = asked === null ? null : cueAt(this.cues, asked);
        const here = cue ? asked : meta.start;
        this.audio.seek(here);
        if (cue && cue.n !== this.shown) this.turner.show(cue.n, cue.start);
        else if (cue) this.turner.setAddress(cue.start);
        if (asked === null) offerResume(this.el.resume, () => this.shown, here, (t) => this.playAt(t, true));
        window.addEventListener('hashchange', () => {
            const t = hashTime(location.hash);
            if (t !== null) this.playAt(t, hashPlays(location.hash));
        });
        if (cue && hashPlays(hash)) this.toggle();
        window.addEventListener('pagehide', () => {
            if (!this.audio.paused) this.remember(true);
        });
    }

    // Audio that will not load leaves the page to its plain links.
    fail() {
        this.ready = false;
        this.el.audio.hidden = true;
        this.button.backToLink();
        if (this.el.controls) this.el.controls.hidden = true;
        this.status(fill(MSG.audioFailed, 'URL', this.audio.url.href), 'plain');
    }

    remember(force) {
        const a = this.el.audio, now = Date.now();
        if (!this.audio || (!force && now - this.savedAt < 2000)) return;
        this.savedAt = now;
        // A lecture heard to its end leaves nothing to resume.
        store.set('position', a.ended ? null : { n: this.shown, t: Math.floor(a.currentTime * 10) / 10 });
    }

    showTranscript(cues) {
        const el = this.el;
        if (!cues.length || !el.cueList || !el.transcript) return;
        this.transcript = new Transcript(el.transcript, el.cueList, el.caption, cues,
            this.ready ? (cue) => this.playAt(cue.start, true) : null);
        this.transcript.at(this.audio ? this.audio.time : 0);
    }

    follow() {
        const audio = this.audio, a = this.el.audio, t = a.currentTime;
        if (this.transcript) this.transcript.at(audio.time);
        if (audio.seekPending) return;
        if (t >= this.end && !a.paused) a.pause();
        const cue = cueAt(this.cues, t);
        if (cue && cue.n !== this.shown) this.turner.show(cue.n, cue.start);
        else if (cue) this.turner.setAddress(cue.start);
        if (!a.paused) this.remember(false);
    }

    play() {
        this.audio.play().then((started) => {
            if (!started) this.status(MSG.gesture, 'ready');
        });
    }

    // Play and pause; after the end, this slide plays again from its start.
    toggle() {
        if (!this.ready) return;
        const a = this.el.audio;
        if (!a.paused) {
            a.pause();
            return;
        }
        if (a.ended) {
            const cue = firstCueOf(this.cues, this.shown);
            if (cue) this.audio.seek(cue.start);
        }
        this.play();
    }

    playAt(t, play) {
        if (!this.ready) return;
        this.audio.seek(t);
        if (play) this.play();
    }

    // While the lecture plays, the neighbours are reached by moving the audio.
    seekToSlide(n) {
        if (!this.ready || !this.audio.armed) return false;
        const cue = firstCueOf(this.cues, n);
        if (!cue) return false;
        this.audio.seek(cue.start);
        return true;
    }

    step(delta) {
        const n = this.shown + delta, count = this.source ? this.source.count : 0;
        if (n < 1 || (count && n > count)) return;
        if (this.seekToSlide(n)) return;
        const link = delta < 0 ? this.el.prev : this.el.next;
        if (link && !link.hidden && link.getAttribute('href')) location.href = link.href;
    }
}
