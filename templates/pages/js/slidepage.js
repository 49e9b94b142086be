// A slide page: plays the lecture from this slide and turns the page with it.

import { LectureAudio, playable } from './audio.js';
import { ChapterList } from './chapters.js';
import { TurnClock } from './clock.js';
import { copyLink, fullScreen, offerResume, PlayButton, PositionBar, speedAndFullScreen, toggleButton } from './controls.js';
import { byId, say, served, store } from './dom.js';
import { keyList, listenToKeys, listenToSwipes } from './keys.js';
import { lectureTable, loadCues, loadMetafile, loadWebVtt, PageSource, TableSource, tableCues } from './lecture.js';
import { fileName, fill, hashPlays, hashTime, momentAddress, slideNumber } from './text.js';
import { chapterEntries, cueAt, firstCueOf } from './timeline.js';
import { Thumbs } from './thumbs.js';
import { Transcript } from './transcript.js';
import { Turner } from './turning.js';

const MSG = {
    file: 'Opened as a file: serve this folder over http to hear the lecture.',
    noRam: 'No metafile (NAME) beside this page: there is nothing to play.',
    badRam: 'The metafile (NAME) gives no audio URL with start and end times: there is nothing to play.',
    noPlay: 'The lecture\'s audio (URL) cannot be played in a web browser.',
    noEvents: 'No event list (cevents.txt) beside this page: the slides cannot follow the audio.',
    noTimes: 'No slide of the lecture has a length: the slides cannot follow the audio.',
    ready: 'Press Play or K to hear the lecture from here; ? lists the keys.',
    gesture: 'Press Play or K to start the audio.',
    audioFailed: 'The lecture\'s audio (URL) could not be loaded.',
    wholeFile: 'This server cannot seek: loading the whole audio file first.',
    ended: 'End of the lecture.',
};
const TRANSCRIPT_FILE = 'captions.vtt';
const JUMP = 10;

function elements() {
    const ids = {
        prev: 'cm-prev', next: 'cm-next', ram: 'cm-play', image: 'cm-slide', heading: 'cm-heading',
        status: 'cm-status', live: 'cm-live', audio: 'cm-audio', caption: 'cm-caption', controls: 'cm-controls',
        seek: 'cm-seek', time: 'cm-time', marks: 'cm-marks', mute: 'cm-mute', captions: 'cm-captions',
        speed: 'cm-speed', copy: 'cm-copy', full: 'cm-full', keys: 'cm-keys', keyList: 'cm-keylist',
        resume: 'cm-resume', thumbs: 'cm-thumbs', chapters: 'cm-chapters',
        transcript: 'cm-transcript', cueList: 'cm-cues', wordsPanel: 'cm-words-panel',
    };
    const el = {};
    for (const name in ids) el[name] = byId(ids[name]);
    return el;
}

export class SlidePage {
    constructor() {
        this.el = elements();
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
            back: () => this.jump(-JUMP),
            forward: () => this.jump(JUMP),
            previous: () => this.step(-1),
            next: () => this.step(1),
            fullScreen: () => document.fullscreenEnabled ? fullScreen() : false,
            mute: () => this.mute(!this.audio.el.muted),
            captions: () => this.transcript ? this.captions(!this.captionsOn) : false,
            keys: () => el.keyList ? keyList(el.keyList) : false,
        });
        if (el.keys && el.keyList) {
            el.keys.hidden = false;
            el.keys.addEventListener('click', () => keyList(el.keyList));
        }
        for (const [link, delta] of [[el.prev, -1], [el.next, 1]]) {
            if (link) link.addEventListener('click', (e) => {
                if (this.seekToSlide(this.shown + delta)) e.preventDefault();
            });
        }
        if (!served()) return this.status(MSG.file, 'plain');
        // A page made from other templates keeps its own links.
        if (!el.ram || !el.image || !el.controls || !this.shown) return this.status('', 'plain');
        if (!el.audio) el.audio = document.body.appendChild(document.createElement('audio'));
        listenToSwipes(el.image, (delta) => this.step(delta));
        // A table that does not reach this page is not this lecture's.
        let table = lectureTable();
        if (table && table.rows.length < this.shown) table = null;
        this.table = table;
        const source = this.source = table ? new TableSource(table) : new PageSource(this.shown, el.image);
        this.turner = new Turner(el, source, this.shown, { shown: (n) => this.shownNow(n) });
        this.turner.label(this.shown);
        this.turner.hideMissingNeighbours();
        if (table && !byId('cm-words')) this.turner.words(source.page(this.shown));
        if (!byId('cm-words')) el.image.removeAttribute('aria-describedby');
        if (!table) source.loadTitles().then(() => {
            this.turner.label(this.shown);
            this.turner.hideMissingNeighbours();
        });
        const spoken = loadWebVtt(TRANSCRIPT_FILE);
        const chapters = loadWebVtt(table ? table.chapters : 'chapters.vtt');
        this.prepare().then(() => {
            chapters.then((list) => this.showChapters(list));
            return spoken;
        }).then((cues) => this.showTranscript(cues));
    }

    // The audio and the slide times: from the table, or from the metafile and the event
    // file or list.
    async prepare() {
        if (this.table) {
            const rows = this.table.rows, here = rows[this.shown - 1];
            return this.playFrom(this.table.audio, here ? here.start : 0,
                Math.max(...rows.map((r) => r.stop)), tableCues(rows), MSG.noTimes);
        }
        const ram = this.el.ram, ramName = fileName(ram.getAttribute('href') || '');
        const meta = await loadMetafile(ram.href);
        if (!meta) return this.status(fill(meta === null ? MSG.badRam : MSG.noRam, 'NAME', ramName), 'plain');
        return this.playFrom(meta.url, meta.start, meta.end, null, MSG.noEvents);
    }

    async playFrom(audioText, start, end, cues, noCues) {
        let url = null;
        try {
            url = new URL(audioText, location.href);
        } catch (e) {
            // No URL at all: said as one that cannot be played.
        }
        if (!audioText || !url || !playable(url)) return this.status(fill(MSG.noPlay, 'URL', audioText), 'plain');
        this.cues = cues || await loadCues(audioText);
        if (!this.cues.length) return this.status(noCues, 'plain');
        this.becomeReady(url, start, end);
    }

    // The audio is set up before any click, at this slide's start or the time the address
    // asks for, so that a click or key has only to start it.
    becomeReady(url, start, end) {
        const el = this.el;
        // The address is read before anything rewrites it.
        const hash = location.hash, asked = hashTime(hash), plays = hashPlays(hash);
        this.ready = true;
        this.end = end;
        this.audio = new LectureAudio(el.audio, url, {
            moved: () => this.follow(),
            playing: () => {
                this.status('', 'playing');
                this.button.playing(true);
                if (el.resume) el.resume.hidden = true;
            },
            paused: () => {
                this.button.playing(false);
                if (document.body.getAttribute('data-cm-state') === 'playing') this.status('', 'ready');
                this.turner.setAddress(this.audio.time);
                this.remember(true);
            },
            ended: () => this.status(MSG.ended, 'ready'),
            failed: () => this.fail(),
            wholeFile: (state) => state === 'loading' ? this.status(MSG.wholeFile, 'loading') :
                this.status(fill(MSG.audioFailed, 'URL', url.href), 'ready'),
        });
        this.clock = new TurnClock(el.audio, this.cues, (cue) => this.turner.show(cue.n, cue.start));
        this.button = new PlayButton(el.ram, el.controls, () => this.toggle());
        this.controls(end);
        this.status(MSG.ready, 'ready');
        const cue = asked === null ? null : cueAt(this.cues, asked);
        const here = cue ? asked : start;
        this.audio.seek(here);
        if (cue && cue.n !== this.shown) this.turner.show(cue.n, here);
        else if (cue) this.turner.setAddress(here);
        this.shownNow(this.shown);
        this.turner.fetchAhead(this.shown + 1);
        if (asked === null) offerResume(el.resume, () => this.shown, here, (t) => this.playAt(t, true));
        window.addEventListener('hashchange', () => {
            const t = hashTime(location.hash);
            if (t !== null) this.playAt(t, hashPlays(location.hash));
        });
        window.addEventListener('pagehide', () => {
            if (!this.audio.paused) this.remember(true);
        });
        if (cue && plays) this.play();
    }

    controls(end) {
        const el = this.el, audio = this.audio;
        el.controls.hidden = false;
        speedAndFullScreen(el, (rate) => audio.setRate(rate));
        if (el.seek) this.bar = new PositionBar(el, end, this.cues.map((c) => c.start), (t) => this.playAt(t, false));
        if (el.mute) {
            this.muteShown = toggleButton(el.mute, false, (on) => this.mute(on));
            audio.el.addEventListener('volumechange', () => this.muteShown(audio.el.muted));
        }
        if (el.copy) {
            el.copy.hidden = false;
            el.copy.addEventListener('click', () => copyLink(momentAddress(this.shown, audio.time),
                (text) => say(el.status, text)));
        }
        if (this.table && el.thumbs)
            this.thumbs = new Thumbs(el.thumbs, this.table.rows, (n) => this.playAt(this.table.rows[n - 1].start, true));
    }

    // Everything that marks the slide shown.
    shownNow(n) {
        if (this.thumbs) this.thumbs.mark(n);
        if (this.chapters) this.chapters.mark(n);
    }

    mute(on) {
        this.audio.el.muted = on;
    }

    captions(on) {
        this.captionsOn = on;
        store.set('captions', on);
        if (this.el.caption) this.el.caption.hidden = !on;
        if (this.captionsShown) this.captionsShown(on);
    }

    // Audio that will not load leaves the page to its plain links.
    fail() {
        this.ready = false;
        this.clock.disarm();
        this.button.backToLink();
        this.el.controls.hidden = true;
        this.status(fill(MSG.audioFailed, 'URL', this.audio.url.href), 'plain');
    }

    remember(force) {
        const a = this.el.audio, now = Date.now();
        if (!this.audio || (!force && now - this.savedAt < 2000)) return;
        this.savedAt = now;
        // A lecture heard to its end leaves nothing to resume.
        store.set('position', a.ended ? null : { n: this.shown, t: Math.floor(a.currentTime * 10) / 10 });
    }

    showChapters(list) {
        const el = this.el;
        if (!list.length || !el.chapters) return;
        const pages = this.table ? this.table.rows.map((r, i) => ({ start: r.start,
            key: r.slide > 0 ? 'image:' + r.image : 'page:' + (i + 1) })) :
            this.cues.map((c) => ({ start: c.start, key: 'page:' + c.n }));
        this.chapters = new ChapterList(el.chapters, chapterEntries(list, pages),
            (time) => this.ready ? this.playAt(time.start, true) : false);
        this.chapters.mark(this.shown);
    }

    showTranscript(cues) {
        const el = this.el;
        if (!cues.length || !el.cueList || !el.transcript) return;
        this.transcript = new Transcript(el.transcript, el.cueList, el.caption, cues,
            this.ready ? (cue) => this.playAt(cue.start, true) : null);
        this.transcript.at(this.audio ? this.audio.time : 0);
        if (el.captions && this.ready) this.captionsShown = toggleButton(el.captions, true, (on) => this.captions(on));
        this.captions(store.get('captions') !== false);
    }

    follow() {
        const audio = this.audio, a = audio.el;
        if (this.transcript) this.transcript.at(audio.time);
        if (this.bar) this.bar.show(audio.time);
        if (audio.seekPending) return;
        const t = this.clock.time();
        if (t >= this.end && !a.paused) a.pause();
        const cue = cueAt(this.cues, t);
        if (cue && cue.n !== this.shown) this.turner.show(cue.n, t);
        else if (cue && !a.paused) this.turner.setAddress(t);
        if (!a.paused) this.remember(false);
    }

    play() {
        this.audio.play().then((started) => {
            if (!started) this.status(MSG.gesture, 'ready');
        });
    }

    // Play and pause; after the end, this slide plays again from its start.
    toggle() {
        const a = this.audio.el;
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

    // Moves to t, showing its slide at once, and plays when asked.
    playAt(t, play) {
        if (!this.ready) return;
        this.audio.seek(t);
        const cue = cueAt(this.cues, t);
        if (cue) this.turner.show(cue.n, t);
        this.follow();
        if (play) this.play();
    }

    jump(seconds) {
        const t = Math.max(0, Math.min(this.end, this.audio.time + seconds));
        this.playAt(t, false);
    }

    // Slides turn by moving the audio to their start, paused or playing.
    seekToSlide(n) {
        if (!this.ready) return false;
        const cue = firstCueOf(this.cues, n);
        if (!cue) return false;
        this.playAt(cue.start, false);
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
