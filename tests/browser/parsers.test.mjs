// The player's file readers under node, without a browser.
//   CUE_CEVENTS   the built cevents; with it, its WebVTT output is read back by the player
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import * as text from '../../templates/pages/js/text.js';
import * as files from '../../templates/pages/js/files.js';
import * as webvtt from '../../templates/pages/js/webvtt.js';
import * as timeline from '../../templates/pages/js/timeline.js';

const F = { ...text, ...files, ...webvtt, ...timeline };

test('metafiles give the audio URL and a start and end a media element accepts', () => {
    const cases = [
        ['http://h/a.mp3?start="00:01:05"&end="00:45:10"\r\n', { url: 'http://h/a.mp3', start: 65, end: 2710 }],
        ['\uFEFFa.mp3?START=00:00:07\n', { url: 'a.mp3', start: 7, end: Infinity }],
        ['x?start=1.mp3?start="00:00:02"&end="00:00:09"', { url: 'x?start=1.mp3', start: 2, end: 9 }],
        ['a.mp3?start="99999999999999999999:00:00"&end="00:00:01"', null],
        ['a.mp3?start="00:00:01"&end="' + '9'.repeat(400) + ':00:00"', null],
        ['a.mp3', null],
        ['', null],
    ];
    for (const [text, expected] of cases) assert.deepEqual(F.parseMetafile(text), expected, text);
});

test('event list lines are read as cevents reads them', () => {
    const list = [
        'u 00:00:00:05.0 00:00:00:09.9 http://h/t/sld002.htm',
        'u 00:00:00:10.0 00:00:00:14.9 http://h/my talk/sld003.htm',
        'u 00:00:00:15.125 00:00:00:19.9 sld004.htm\rU 00:00:00:20.0 00:00:00:24.9 sld005.htm',
        ' u 00:00:00:20.0 00:00:00:24.9 sld005.htm',
        'u 00:00:00:20.0  00:00:00:24.9 sld005.htm',
        'u 00:24:00:00.0 00:24:00:01.0 sld006.htm',
        'u 00:00:00:30.0 00:00:00:30.0 sld007.htm',
        'u 00:00:00:30.0 00:00:00:31.0 ',
        'u 00:00:00:30.1234 00:00:00:31.0 sld008.htm',
        'u 99:23:59:59.0 99:23:59:59.9 sld009.htm',
    ].join('\r\n');
    assert.deepEqual(F.pageCues(F.parseEventList(list)), [
        { start: 5, end: 9.9, n: 2 },
        { start: 10, end: 14.9, n: 3 },
        { start: 15.125, end: 19.9, n: 4 },
        { start: 8639999, end: 8639999.9, n: 9 },
    ]);
    assert.equal(F.parseEventList(list)[1].text, 'http://h/my talk/sld003.htm');
});

test('WebVTT cues: times checked, tags taken out, references and page names decoded', () => {
    const vtt = [
        'WEBVTT - lecture',
        '',
        '1',
        '00:00:01.000 --> 00:00:04.500 align:start',
        '<v Ann>Caching &amp; <b>consistency</b> &lt;1&gt; &#233;&#x263a;</v>',
        '',
        '01:00:00.000 --> 01:00:02.000',
        'http://h/a&amp;b/sld%30%30%37.htm',
        '',
        '00:00:05.000 --> 00:00:07.000',
        'http://h/d%E9mo/sld003.htm',
        '',
        '00:5.000 --> 00:00:07.000',
        'bad time',
        '',
        '99999999999999999999:00:00.000 --> 99999999999999999999:00:01.000',
        'too late',
    ].join('\r\n');
    const cues = F.parseWebVtt(vtt);
    assert.deepEqual(cues.map((c) => [c.start, c.end, c.text]), [
        [1, 4.5, 'Caching & consistency <1> \u00e9\u263a'],
        [3600, 3602, 'http://h/a&b/sld%30%30%37.htm'],
        [5, 7, 'http://h/d%E9mo/sld003.htm'],
    ]);
    assert.deepEqual(F.pageCues(cues).map((c) => c.n), [3, 7]);
    assert.deepEqual(F.parseWebVtt('<script>\n\n00:00:01.000 --> 00:00:02.000\nsld001.htm'), []);
});

test('cue text is read in one pass: a tag runs to its end, a long caption is cut', () => {
    const cue = (text) => F.parseWebVtt(`WEBVTT\n\n00:00:01.000 --> 00:00:02.000\n${text}\n`)[0].text;
    const cases = [
        ['<'.repeat(1e6), ''],
        ['said <b', 'said'],
        ['a > b &lt;c&gt; &amp &#0; &bogus;', 'a > b <c> &amp &#0; &bogus;'],
        ['&'.repeat(1e5) + 'x', '&'.repeat(1000) + '\u2026'],
        ['w'.repeat(5000), 'w'.repeat(1000) + '\u2026'],
        ['one\r\ntwo', 'one\ntwo'],
    ];
    for (const [text, shown] of cases) assert.equal(cue(text), shown, text.slice(0, 20));
    // Read a cue at a time, the file gives the cues it gives read whole.
    const vtt = 'WEBVTT\r\n\r\n1\r\n00:00:01.000 --> 00:00:02.000\r\na\r\n\r\n\r\n' +
        'x\ny\n00:00:03.000 --> 00:00:04.000\nlost\n\n00:00:05.000 --> 00:00:06.000\nb\nc';
    const reader = new F.WebVttReader(vtt), parts = [];
    while (!reader.done) parts.push(...reader.read(1));
    assert.deepEqual(parts, F.parseWebVtt(vtt));
    assert.deepEqual(parts.map((c) => c.text), ['a', 'b\nc']);
});

test('the event file is named as the post-processor names it, and lies beside the pages', () => {
    const cases = [
        ['pnm://host/presentations/stockholder_1.ra', 'stockholder_1.rae'],
        ['http://host/talk/lecture6.ra.mp3', 'lecture6.rae'],
        ['lecture6.RA.mp3', 'lecture6.rae'],
        ['pnm:talk.Ra', 'talk.rae'],
        ['.ra', '.rae'],
        ['http://a.radio.example/x.mp3', 'a.rae'],
        ['http://host/talk.mp3', ''],
        ['\\\\host\\x.ra.mp3', ''],
        ['http://host/a\\b.ra.mp3', ''],
    ];
    for (const [url, name] of cases) assert.equal(F.eventFileName(url), name, url);
});

test('addresses, deck numbers and messages', () => {
    const times = [['#t=21', 21], ['#t=12.5&play', 12.5], ['#play&t=3', 3], ['t=4', 4],
        ['#t=', null], ['#t=1e9', null], ['#t=99999999999', null], ['#x=1', null], ['', null]];
    for (const [hash, t] of times) assert.equal(F.hashTime(hash), t, hash);
    const plays = [['#t=3&play', true], ['#play&t=3', true], ['#t=3', false], ['#t=3&player', false]];
    for (const [hash, play] of plays) assert.equal(F.hashPlays(hash), play, hash);
    const decks = [['../lecture6/sld008.gif', 8], ['http://h/p/Slide12.PNG?x=1', 12],
        ['wait.gif', 0], ['', 0]];
    for (const [image, n] of decks) assert.equal(F.deckNumber(image), n, image);
    assert.equal(F.fill('The audio (URL) failed.', 'URL', 'a$&b$1.mp3'), 'The audio (a$&b$1.mp3) failed.');
    assert.equal(F.formatClock(3725.9), '01:02:05');
    assert.equal(F.parseClock(' 00:01:05 '), 65);
});

test('the preload block gives the images and the audio as written', () => {
    const block = [
        '  MaxGIFs =  2',
        'ReDim SLDtoGIF ( 2 )',
        'SLDtoGIF ( 1) = "http://h/../deck/sld001.gif"',
        'SLDtoGIF ( 2) = "http://h/%3C%22x%3E/sld002.gif"',
        'AudioURL = "pnm://h/talk.ra"',
    ].join('\r\n');
    assert.deepEqual(F.parsePreload(block), {
        images: ['http://h/../deck/sld001.gif', 'http://h/%3C%22x%3E/sld002.gif'],
        audio: 'pnm://h/talk.ra',
    });
});

test('the lecture table a page carries is taken field by field, or not at all', () => {
    const row = { page: 'sld001.htm', image: '../d/sld001.gif', title: 'Agenda', start: 0, stop: 5, slide: 1,
        text: ['a'], notes: ['n'] };
    const table = (change) => JSON.stringify({ audio: 'talk.ra.mp3', chapters: 'chapters.vtt', page: 1, rows: [row], ...change });
    const cases = [
        // [block, what is read back: null, or [audio, chapters, page, first row]]
        [table({}), ['talk.ra.mp3', 'chapters.vtt', 1, row]],
        ['{"rows": [', null], ['null', null], [table({ rows: [] }), null], [table({ rows: 'x' }), null],
        [table({ rows: [{ ...row, start: -1 }] }), null], [table({ rows: [{ ...row, stop: 'soon' }] }), null],
        [table({ rows: [{ ...row, start: 9, stop: 5 }] }), null], [table({ rows: Array(1000).fill(row) }), null],
        // A row names no page but its own, and the chapters file lies beside the pages.
        [table({ rows: [{ ...row, page: 'javascript:alert(1)' }] }), ['talk.ra.mp3', 'chapters.vtt', 1, row]],
        [table({ chapters: '../x.vtt', page: 7 }), ['talk.ra.mp3', 'chapters.vtt', 0, row]],
        [table({ audio: 5, rows: [{ ...row, title: null, slide: -2, text: [1, 'b'], notes: 'n' }] }),
            ['', 'chapters.vtt', 1, { ...row, title: '', slide: 0, text: ['b'], notes: [] }]],
    ];
    for (const [block, expected] of cases) {
        const read = F.parseLecture(block);
        assert.deepEqual(read && [read.audio, read.chapters, read.page, read.rows[0]], expected, block.slice(0, 80));
    }
});

test('a search keeps the rows whose title or transcript holds every word', () => {
    const rows = [{ title: 'Why cache?', start: 0 }, { title: 'Agenda', start: 10 },
        { title: 'BREAK', start: 20 }];
    const spoken = [{ start: 1, text: 'Memory is slow' }, { start: 12, text: 'Then write-back' },
        { start: 25, text: 'A short break' }];
    const cases = [['', [true, true, true]], ['CACHE', [true, false, false]],
        ['write', [false, true, false]], ['short break', [false, false, true]],
        ['slow agenda', [false, false, false]], ['nothing', [false, false, false]]];
    for (const [query, keep] of cases) assert.deepEqual(F.searchLecture(F.searchable(rows, spoken), query).keep, keep, query);
    assert.deepEqual(F.searchLecture(F.searchable(rows, []), 'write').keep, [false, false, false]);
});

test('what cevents writes, the player reads as the event list says', { skip: !process.env.CUE_CEVENTS }, () => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'cuemark-parsers-'));
    try {
        const list = [
            'u 00:00:00:00.0 00:00:00:04.9 http://h/a&b <c>/sld001.htm',
            'u 00:00:00:05.0 00:00:00:09.9 http://h/my talk/sld002.htm',
            'u 00:01:00:10.0 00:01:00:14.9 sld010.htm',
        ].join('\r\n') + '\r\n';
        fs.writeFileSync(path.join(folder, 'cevents.txt'), list);
        execFileSync(process.env.CUE_CEVENTS, [path.join(folder, 'cevents.txt'), 'talk.rae']);
        const vtt = fs.readFileSync(path.join(folder, 'talk.rae'), 'latin1');
        const fromList = F.parseEventList(list);
        assert.deepEqual(F.parseWebVtt(vtt), fromList);
        assert.deepEqual(F.pageCues(F.parseWebVtt(vtt)).map((c) => c.n), [1, 2, 10]);
    } finally {
        fs.rmSync(folder, { recursive: true, force: true });
    }
});
