// Names, times and addresses as a presentation's pages and files write them.

// The latest time any of the presentation's files can hold: 99 days, as the event list
// counts them.
export const MAX_TIME = 100 * 86400;

export function nnn(i) {
    return String(i).padStart(3, '0');
}

export function slideFile(n) {
    return `sld${nnn(n)}.htm`;
}

// Percent escapes as the bytes they stand for, one character each; never throws on
// bytes that are not UTF-8, and page names are ASCII anyway.
function unescapeBytes(text) {
    return text.replace(/%([0-9a-f]{2})/gi, (all, hex) => String.fromCharCode(parseInt(hex, 16)));
}

// The file name a URL ends in: cues and links meet pages by name, whatever the host.
export function fileName(url) {
    const s = String(url).split('#')[0].split('?')[0];
    return unescapeBytes(s.slice(Math.max(s.lastIndexOf('/'), s.lastIndexOf('\\')) + 1));
}

export function slideNumber(url) {
    const m = /^sld(\d+)\.htm$/i.exec(fileName(url));
    return m ? parseInt(m[1], 10) : 0;
}

// The slide number the deck gives an image (sld008.gif is slide 8); 0 for a pause.
export function deckNumber(imageUrl) {
    const m = /(\d+)\.[a-z0-9]+$/i.exec(fileName(imageUrl || ''));
    return m ? parseInt(m[1], 10) : 0;
}

// Seconds from whole-number fields, or NaN when a field has no digits or the time
// would pass MAX_TIME: a time is a number a media element accepts.
export function seconds(fields, scales, fraction) {
    let total = 0;
    for (let i = 0; i < fields.length; i++) {
        if (!/^\d+$/.test(fields[i] || '')) return NaN;
        total += parseInt(fields[i], 10) * scales[i];
    }
    if (fraction) total += parseFloat('0.' + fraction);
    return total <= MAX_TIME ? total : NaN;
}

// "hh:nn:ss", as the index shows start times.
export function parseClock(text) {
    const m = /^\s*(\d+):(\d+):(\d+)\s*$/.exec(text || '');
    return m ? seconds([m[1], m[2], m[3]], [3600, 60, 1]) : NaN;
}

const two = (n) => String(n).padStart(2, '0');

export function formatClock(t) {
    const s = Math.floor(t);
    return `${two(Math.floor(s / 3600))}:${two(Math.floor(s / 60) % 60)}:${two(s % 60)}`;
}

// "m:ss", or "h:mm:ss" from the first hour on, as video players show a time.
export function shortClock(t) {
    const s = Math.max(0, Math.floor(t));
    const h = Math.floor(s / 3600), m = Math.floor(s / 60) % 60;
    return (h ? `${h}:${two(m)}` : String(m)) + ':' + two(s % 60);
}

// "#t=21" (and "#t=21&play"): the time a link asks for, or null.
export function hashTime(hash) {
    const m = /^#?(?:[^&]*&)*t=(\d+(?:\.\d+)?)(?:&|$)/.exec(hash || '');
    if (!m) return null;
    const t = parseFloat(m[1]);
    return t <= MAX_TIME ? t : null;
}

// "&play" beside the time: the link asks the audio to start there.
export function hashPlays(hash) {
    return /^#?(?:[^&]*&)*play(?:&|$)/.test(hash || '');
}

// A message with NAME filled in as it stands ("$&" in it is no pattern).
export function fill(message, name, value) {
    return message.replace(name, () => value);
}

// The address of a moment: the page, then the second it is at ("#t=40" at 40.7 s), so a
// copied address opens where it was copied.
export function momentAddress(n, t) {
    return `${slideFile(n)}#t=${Math.max(0, Math.floor(t))}`;
}
