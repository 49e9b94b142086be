// Turns the page when its cue begins, not at the browser's next time update (four a
// second at best): a timer set from the audio's time and speed, set again whenever the
// audio moves, changes speed or stalls.

import { nextCue, turnDelay } from './timeline.js';

// A timer may fire this much before the audio reaches the cue; the turn still counts.
const EARLY = 0.3;

export class TurnClock {
    constructor(audio, cues, turn) {
        this.audio = audio;
        this.cues = cues;
        this.turn = turn;
        this.timer = null;
        this.lead = null;
        for (const type of ['playing', 'seeked', 'ratechange', 'timeupdate']) audio.addEventListener(type, () => this.arm());
        for (const type of ['pause', 'waiting', 'ended', 'emptied']) audio.addEventListener(type, () => this.disarm());
        audio.addEventListener('seeking', () => {
            this.lead = null;
            this.disarm();
        });
    }

    // The lecture's time for choosing a slide: the audio's, or the start of the cue just
    // turned to when the timer beat the audio by a little.
    time() {
        const t = this.audio.currentTime;
        return this.lead !== null && t < this.lead && this.lead - t < EARLY ? this.lead : t;
    }

    disarm() {
        clearTimeout(this.timer);
        this.timer = null;
    }

    arm() {
        const a = this.audio;
        this.disarm();
        if (a.paused || a.seeking) return;
        const t = this.time(), next = nextCue(this.cues, t);
        if (!next) return;
        this.timer = setTimeout(() => {
            this.timer = null;
            if (a.paused || a.seeking) return;
            this.lead = next.start;
            this.turn(next);
            this.arm();
        }, turnDelay(next.start, t, a.playbackRate));
    }
}
