// The player's timing rules under node, without a browser: which cue is said, which
// slide is up, when the next one turns.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import * as timeline from '../../templates/pages/js/timeline.js';

// Slides 1 to 3 with a gap before slide 3; a pause page 2 without its own cue.
const slides = [{ start: 0, end: 4.9, n: 1 }, { start: 5, end: 9.9, n: 3 }, { start: 12, end: 20, n: 4 }];

test('the slide up at a time is the last begun: in a gap the earlier stays', () => {
    const cases = [[-1, null], [0, 1], [4.95, 1], [5 - 0.0005, 3], [10.5, 3], [12, 4], [99, 4]];
    for (const [t, n] of cases) assert.equal(timeline.cueAt(slides, t)?.n ?? null, n, String(t));
    assert.equal(timeline.cueAt([], 3), null);
    assert.equal(timeline.firstCueOf(slides, 3), slides[1]);
    assert.equal(timeline.firstCueOf(slides, 2), null);
});

test('the cue said at a time: none between cues, an overlapping one still running', () => {
    const said = [{ start: 1, end: 3 }, { start: 2, end: 10 }, { start: 4, end: 5 }, { start: 6, end: 7 }];
    const cases = [[0.5, -1], [1, 0], [2.5, 1], [4.5, 2], [5.5, 1], [6.5, 3], [9, 1], [10, -1]];
    for (const [t, at] of cases) assert.equal(timeline.cueIndexAt(said, t), at, String(t));
});

test('the next turn is the cue after the time, as far off in wall time as the speed makes it', () => {
    const cases = [
        // [time, rate, next page, milliseconds]; within a millisecond of a start is at it.
        [0, 1, 3, 5000], [4.998, 1, 3, 2], [4.9995, 1, 4, 7000.5], [5, 1, 4, 7000], [5, 2, 4, 3500],
        [10, 0.75, 4, 2666.67], [11.9995, 1, null, null], [12, 1, null, null], [-2, 1, 1, 2000], [3, 0, 3, 2000],
    ];
    for (const [t, rate, n, ms] of cases) {
        const next = timeline.nextCue(slides, t);
        assert.equal(next?.n ?? null, n, `${t} at ${rate}`);
        if (next) assert.ok(Math.abs(timeline.turnDelay(next.start, t, rate) - ms) < 0.01, `${t} at ${rate}`);
    }
    assert.equal(timeline.turnDelay(5, 6, 1), 0);
});

test('chapters: one entry per slide, a slide shown twice with both times, each on its page', () => {
    const pages = [{ start: 0, key: 'a' }, { start: 10, key: 'b' }, { start: 20, key: 'pause' },
        { start: 25, key: 'a' }, { start: 30, key: 'c' }];
    const chapters = [{ start: 0, text: 'Intro' }, { start: 10, text: 'Detail' }, { start: 20, text: 'BREAK' },
        { start: 25, text: 'Intro' }, { start: 30, text: 'End' }, { start: 40, text: 'Late' }];
    const entries = timeline.chapterEntries(chapters, pages);
    assert.deepEqual(entries.map((e) => [e.title, e.times.map((t) => `${t.n}@${t.start}`).join(' ')]), [
        ['Intro', '1@0 4@25'], ['Detail', '2@10'], ['BREAK', '3@20'], ['End', '5@30 5@40'],
    ]);
    assert.deepEqual([1, 2, 4, 5, 6].map((n) => timeline.entryOfPage(entries, n)), [0, 1, 0, 3, -1]);
    assert.deepEqual(timeline.chapterEntries([{ start: 1, text: 'x' }], []).map((e) => e.times[0].n), [0]);
});

test('the search: every word on a page between its title, text, notes and what is said; the words marked', () => {
    const pages = [
        { title: 'Why cache?', start: 0, text: ['Memory is slow'], notes: [] },
        { title: 'Write-back', start: 10, text: [], notes: ['Mention the dirty bit'] },
        { title: 'BREAK', start: 20 },
    ];
    const said = [{ start: 2, text: 'Disks are slower still' }, { start: 12, text: 'Bits go back later' },
        { start: 21, text: 'A short BREAK' }];
    const found = (query) => timeline.searchLecture(timeline.searchable(pages, said), query).matches.map((m) =>
        `${m.n}@${m.start} ${m.where}: ` + m.pieces.map((p) => (p.mark ? `[${p.text}]` : p.text)).join(''));
    const cases = [
        ['', []],
        ['SLOW', ['1@0 slide text: Memory is [slow]', '1@2 said: Disks are [slow]er still']],
        ['dirty later', ['2@10 notes: Mention the [dirty] bit', '2@12 said: Bits go back [later]']],
        ['break', ['3@20 title: [BREAK]', '3@21 said: A short [BREAK]']],
        ['memory dirty', []],
        ['back bit', ['2@10 title: Write-[back]', '2@10 notes: Mention the dirty [bit]', '2@12 said: [Bit]s go [back] later']],
    ];
    for (const [query, matches] of cases) assert.deepEqual(found(query), matches, query);
    assert.deepEqual(timeline.searchLecture(timeline.searchable(pages, said), 'dirty later').keep, [false, true, false]);
    // A long line is cut around the first word found.
    const long = timeline.marked('x'.repeat(100) + ' needle ' + 'y'.repeat(100), ['needle'], 40);
    assert.deepEqual(long.map((p) => p.mark), [false, false, true, false, false]);
    assert.equal(long.map((p) => p.text).join('').length, 42);
});

test('a key does what the player says, never while the focus takes typing', async () => {
    const { keyAction, KEYS } = await import('../../templates/pages/js/keys.js');
    const body = { tagName: 'BODY' };
    const cases = [
        // [key, modifiers, focus, action]
        [' ', false, body, 'toggle'], ['k', false, body, 'toggle'], ['K', false, body, 'toggle'],
        ['j', false, body, 'back'], ['l', false, body, 'forward'], ['ArrowLeft', false, body, 'previous'],
        ['ArrowRight', false, body, 'next'], ['f', false, body, 'fullScreen'], ['m', false, body, 'mute'],
        ['c', false, body, 'captions'], ['?', false, body, 'keys'], ['x', false, body, null],
        ['k', true, body, null],
        ['k', false, { tagName: 'INPUT', type: 'text' }, null], ['k', false, { tagName: 'INPUT', type: 'search' }, null],
        ['k', false, { tagName: 'INPUT' }, null], ['k', false, { tagName: 'TEXTAREA' }, null],
        ['k', false, { tagName: 'DIV', isContentEditable: true }, null], ['k', false, { tagName: 'SELECT' }, null],
        ['k', false, { tagName: 'INPUT', type: 'range' }, 'toggle'], ['ArrowRight', false, { tagName: 'INPUT', type: 'range' }, null],
        [' ', false, { tagName: 'BUTTON' }, null], ['k', false, { tagName: 'BUTTON' }, 'toggle'],
        [' ', false, { tagName: 'A' }, 'toggle'],
    ];
    for (const [key, modifiers, focus, action] of cases)
        assert.equal(keyAction(key, modifiers, focus), action, `${key} on ${focus.tagName} ${focus.type || ''}`);
    // Every action has its line in the list "?" shows.
    assert.equal(new Set(KEYS.map((k) => k.action)).size, KEYS.length);
});
