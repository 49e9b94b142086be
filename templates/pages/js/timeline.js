// When what is shown: which cue is said, which slide is up, when the next one turns.
// Cues are {start, end, ...} in the order they begin; slide cues carry their page n.

// A time this close after a start counts as at it: a seek lands within a millisecond.
const AT = 0.001;

// The last cue begun by t: -1 before the first.
export function lastStartedBy(cues, t) {
    let lo = 0, hi = cues.length - 1, found = -1;
    while (lo <= hi) {
        const mid = (lo + hi) >> 1;
        if (cues[mid].start <= t + AT) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return found;
}

// The cue said at t (the latest begun that has not ended), or -1 between cues.
export function cueIndexAt(cues, t) {
    const at = lastStartedBy(cues, t);
    // Overlapping cues are few: a look a little way back finds one still running.
    for (let i = at; i >= 0 && i > at - 8; i--)
        if (t < cues[i].end) return i;
    return -1;
}

// The slide up at t: the last that has begun, so in the gap after a cue its slide stays.
export function cueAt(cues, t) {
    const at = lastStartedBy(cues, t);
    return at < 0 ? null : cues[at];
}

export function firstCueOf(cues, n) {
    return cues.find((c) => c.n === n) || null;
}

// Which index rows a search keeps: the title holds the words, or what is said while the
// row's slide is shown does. rows: [{title, start}] in lecture order; transcript in the
// order said.
export function searchRows(rows, transcript, query) {
    const words = query.toLowerCase().split(/\s+/).filter(Boolean);
    const holds = (text) => {
        text = text.toLowerCase();
        return words.every((w) => text.includes(w));
    };
    const said = rows.map(() => []);
    for (const c of transcript) {
        const row = lastStartedBy(rows, c.start - AT);
        if (row >= 0) said[row].push(c.text);
    }
    return rows.map((row, i) => holds(row.title) || (said[i].length > 0 && holds(said[i].join(' '))));
}
