// The lecture's audio: one element, started only by a click or a key, moved to a time
// even where the server cannot seek.

import { fileName } from './text.js';

// Formats a browser can play; RealAudio and anything unknown to it are refused.
const AUDIO_TYPES = {
    mp3: 'audio/mpeg', ogg: 'audio/ogg', oga: 'audio/ogg', opus: 'audio/ogg; codecs=opus',
    wav: 'audio/wav', m4a: 'audio/mp4', mp4: 'audio/mp4', aac: 'audio/aac',
    webm: 'audio/webm', flac: 'audio/flac',
};
// Seconds a seek may land short of its target (frame rounding of compressed audio).
const SEEK_SLACK = 0.5;

export function playable(url) {
    if (!/^https?:$/.test(url.protocol)) return false;
    const name = fileName(url.pathname).toLowerCase();
    const dot = name.lastIndexOf('.');
    const ext = dot < 0 ? '' : name.slice(dot + 1);
    if (/^(ra|rm|ram|rpm|rv|rmvb)$/.test(ext)) return false;
    const type = AUDIO_TYPES[ext];
    return !type || document.createElement('audio').canPlayType(type) !== '';
}

// hooks: moved() on every time change, playing(), paused(), ended(), failed(), and
// wholeFile(state) while the whole file is loaded for a server without byte ranges.
export class LectureAudio {
    constructor(element, url, hooks) {
        this.el = element;
        this.url = url;
        this.hooks = hooks;
        this.target = null;
        this.armed = false;
        this.wholeFile = false;
        this.rate = 1;
        const a = element;
        // Enough before the click to start at once; the rest once playing is asked for.
        a.preload = 'metadata';
        a.src = url.href;
        for (const type of ['timeupdate', 'seeking', 'seeked']) a.addEventListener(type, () => hooks.moved());
        a.addEventListener('loadedmetadata', () => this.applySeek());
        a.addEventListener('playing', () => hooks.playing());
        a.addEventListener('pause', () => hooks.paused());
        a.addEventListener('ended', () => hooks.ended());
        // Audio that will not load leaves the page to its plain links.
        a.addEventListener('error', () => {
            if (!this.wholeFile) hooks.failed();
        });
    }

    // Where the lecture is, or is about to be once a seek lands.
    get time() {
        return this.target !== null ? this.target : this.el.currentTime;
    }

    get seekPending() {
        return this.target !== null;
    }

    get paused() {
        return this.el.paused;
    }

    setRate(rate) {
        const a = this.el;
        if (!(rate > 0)) return;
        this.rate = rate;
        a.preservesPitch = true;
        a.defaultPlaybackRate = rate;
        a.playbackRate = rate;
    }

    seek(t) {
        this.target = t;
        if (this.el.readyState >= 1) this.applySeek();
    }

    // A server without byte ranges leaves nothing to seek in until the audio is in: the
    // browser keeps the time at the start. Once playing is asked for, the whole file is
    // loaded once, and a file in memory seeks anywhere.
    applySeek() {
        if (this.target === null) return;
        const a = this.el;
        a.currentTime = this.target;
        if (Math.abs(a.currentTime - this.target) < SEEK_SLACK || this.wholeFile) {
            this.target = null;
            this.hooks.moved();
        } else if (this.armed) {
            this.loadWholeFile();
        }
    }

    async loadWholeFile() {
        const a = this.el, resume = this.armed;
        this.wholeFile = true;
        a.pause();
        this.hooks.wholeFile('loading');
        try {
            const response = await fetch(this.url.href);
            if (!response.ok) throw new Error(String(response.status));
            a.src = URL.createObjectURL(await response.blob());
            this.setRate(this.rate);
            if (resume) this.play();
        } catch (e) {
            this.target = null;
            this.hooks.wholeFile('failed');
        }
    }

    // Started within the click or key press, as browsers require; resolves false when the
    // browser wants a click first.
    play() {
        const a = this.el;
        this.armed = true;
        a.preload = 'auto';
        if (this.target !== null && a.readyState >= 1) this.applySeek();
        if (this.wholeFile && !a.src.startsWith('blob:')) return Promise.resolve(true);
        const pending = a.play();
        return pending && pending.then ? pending.then(() => true, (e) => !(e && e.name === 'NotAllowedError')) :
            Promise.resolve(true);
    }

    pause() {
        this.el.pause();
    }
}
