// When what is shown: which cue is said, which slide is up, when the next one turns.
// Cues are {start, end, ...} in the order they begin; slide cues carry their page n.

// A time this close after a start counts as at it: a seek lands within a millisecond.
const AT = 0.001;

// The last cue begun by t: -1 before the first.
function lastStartedBy(cues, t) {
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

// The first cue that begins after t: the next turn.
export function nextCue(cues, t) {
    const at = lastStartedBy(cues, t) + 1;
    return at < cues.length ? cues[at] : null;
}

// Milliseconds of wall time until the audio at t, playing at `rate`, reaches `start`.
export function turnDelay(start, t, rate) {
    return Math.max(0, ((start - t) / (rate > 0 ? rate : 1)) * 1000);
}

// The chapter list: chapters [{start, end, text}] in order, each placed on the page shown
// at its start (pages [{start, key}] in lecture order, numbered from 1). Pages with the
// same key show the same slide, and a slide shown twice is one entry with both times.
export function chapterEntries(chapters, pages) {
    const entries = [], byKey = new Map();
    for (const c of chapters) {
        const at = lastStartedBy(pages, c.start);
        const n = at + 1, key = at >= 0 ? pages[at].key : 'time:' + c.start;
        const time = { start: c.start, n };
        if (byKey.has(key)) {
            byKey.get(key).times.push(time);
        } else {
            const entry = { title: c.text, times: [time] };
            byKey.set(key, entry);
            entries.push(entry);
        }
    }
    return entries;
}

// The entry whose slide is on page n, or -1.
export function entryOfPage(entries, n) {
    return entries.findIndex((e) => e.times.some((t) => t.n === n));
}

function searchWords(query) {
    return query.toLowerCase().split(/\s+/).filter(Boolean);
}

// The text in pieces, the words searched for marked: [{text, mark}]. Long text is cut to
// `room` characters around the first word found, with "…" where it was cut.
export function marked(text, words, room = 80) {
    const lower = text.toLowerCase();
    // Lower case that changes a text's length (a few letters do) leaves it unmarked.
    const spans = [];
    if (lower.length === text.length) {
        for (const w of words) {
            for (let at = lower.indexOf(w); at >= 0; at = lower.indexOf(w, at + w.length)) spans.push([at, at + w.length]);
        }
    }
    spans.sort((a, b) => a[0] - b[0] || b[1] - a[1]);
    let from = 0, to = text.length;
    if (text.length > room) {
        from = Math.max(0, Math.min((spans.length ? spans[0][0] : 0) - 20, text.length - room));
        to = from + room;
    }
    const pieces = [];
    if (from > 0) pieces.push({ text: '\u2026', mark: false });
    let at = from;
    for (const [a, b] of spans) {
        if (a < at || b > to) continue;
        if (a > at) pieces.push({ text: text.slice(at, a), mark: false });
        pieces.push({ text: text.slice(a, b), mark: true });
        at = b;
    }
    if (at < to) pieces.push({ text: text.slice(at, to), mark: false });
    if (to < text.length) pieces.push({ text: '\u2026', mark: false });
    return pieces;
}

// How many matches a search shows of one page at most.
const MATCHES_PER_PAGE = 3;

// What the search looks through, made once: every page's pieces (title, each line of
// slide text and notes, each cue said while it shows) with their lower case, and all of
// them together. pages [{title, start, text: [], notes: []}] in lecture order, transcript
// cues in the order said.
export function searchable(pages, transcript) {
    const said = pages.map(() => []);
    for (const c of transcript) {
        const at = lastStartedBy(pages, c.start);
        if (at >= 0) said[at].push(c);
    }
    return pages.map((page, i) => {
        const pieces = [{ where: 'title', text: page.title, start: page.start }];
        for (const line of page.text || []) pieces.push({ where: 'slide text', text: line, start: page.start });
        for (const line of page.notes || []) pieces.push({ where: 'notes', text: line, start: page.start });
        for (const c of said[i]) pieces.push({ where: 'said', text: c.text, start: c.start });
        for (const p of pieces) p.lower = p.text.toLowerCase();
        return { pieces, all: pieces.map((p) => p.lower).join('\n') };
    });
}

// The search of the index: a page matches when its title, slide text, notes and what is
// said while it shows hold every word between them; each match names where the words
// stand and the time to play from. keep[i] says which pages match.
export function searchLecture(prepared, query) {
    const words = searchWords(query);
    if (!words.length) return { keep: prepared.map(() => true), matches: [] };
    const keep = [], matches = [];
    prepared.forEach((page, i) => {
        const holds = words.every((w) => page.all.includes(w));
        keep.push(holds);
        if (!holds) return;
        let shown = 0;
        for (const p of page.pieces) {
            if (shown === MATCHES_PER_PAGE) break;
            if (!words.some((w) => p.lower.includes(w))) continue;
            matches.push({ n: i + 1, where: p.where, start: p.start, pieces: marked(p.text, words) });
            shown += 1;
        }
    });
    return { keep, matches };
}
