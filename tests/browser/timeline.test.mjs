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
