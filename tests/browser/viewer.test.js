// The player as a viewer uses it, on the demo lecture in Debian's chromium: links that
// play, slides on time (with the figures for the report), a page that fits the screen,
// thumbnails, chapters, the search, the keys and the link to a moment. The pictures go
// to CUE_PICTURE_DIR. Set-up and variables: harness.js.
'use strict';

const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {
    ROOT, DEMO, PICTURES, serve, readPresentation, launch, openPage, state, playing, seekTo, waitForSlide,
    accessibilityViolations,
} = require('./harness.js');

const WIDE = { viewport: { width: 1366, height: 768 } };
const PHONE = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };
// Chromium's own figures for a slow 4G link.
const SLOW_4G = { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 750e3 / 8 };

const report = (t, line) => {
    t.diagnostic(line);
    console.log(line);
};

// The audio plays, and its time moves on, near `at`.
async function playsNear(page, at) {
    await page.waitForFunction((t) => {
        const a = document.getElementById('cm-audio');
        return !a.paused && !a.seeking && a.currentTime > t - 0.5 && a.currentTime < t + 2.5;
    }, at);
    const before = (await state(page)).time;
    await page.waitForFunction((t) => document.getElementById('cm-audio').currentTime > t + 0.2, before);
}

describe('the player as a viewer uses it', () => {
    let browser, site, demo, base, rows;

    before(async () => {
        demo = readPresentation(DEMO);
        rows = demo.table.rows;
        site = await serve(ROOT);
        base = new URL(DEMO.replace(/\/?$/, '/'), site.url).href;
        browser = await launch(WIDE);
        fs.mkdirSync(PICTURES, { recursive: true });
    });
    after(async () => {
        await browser?.close();
        site?.server.close();
    });

    test('a link with &play plays wherever it is given: the index, a chapter, the page already open', async () => {
        const page = await openPage(browser, base + 'index.htm');
        await page.click('td a.cm-start >> nth=4');
        await waitForSlide(page, demo.slides[4]);
        await playsNear(page, rows[4].start);
        // The page already open, given a new moment to play from.
        await page.evaluate(() => document.getElementById('cm-audio').pause());
        await page.evaluate(() => {
            location.hash = '#t=40&play';
        });
        await waitForSlide(page, demo.slides[8]);
        await playsNear(page, 40);
        // A chapter's second time plays that showing of the slide.
        await page.evaluate(() => document.getElementById('cm-audio').pause());
        await page.click('#cm-chapter-list a.cm-also');
        await waitForSlide(page, demo.slides[9]);
        await playsNear(page, rows[9].start);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('slides turn on time from the table, the next image fetched ahead: figures for the report', async (t) => {
        for (const [name, network] of [['127.0.0.1', null], ['slow 4G (150 ms, 1.6 Mbit/s)', SLOW_4G]]) {
            const own = await launch(WIDE);
            try {
                const page = await own.context.newPage();
                const cdp = await own.context.newCDPSession(page);
                await cdp.send('Network.enable');
                if (network) await cdp.send('Network.emulateNetworkConditions', network);
                const kinds = {}, moved = [];
                cdp.on('Network.responseReceived', (e) => {
                    kinds[e.requestId] = { type: e.type, url: e.response.url };
                });
                cdp.on('Network.loadingFinished', (e) => moved.push({ ...kinds[e.requestId], bytes: e.encodedDataLength }));
                // Each turn: the image already in when it was shown, and the audio's time
                // at the next frame, the first that shows it.
                await page.addInitScript(() => {
                    window.turns = [];
                    addEventListener('DOMContentLoaded', () => {
                        const image = document.getElementById('cm-slide');
                        new MutationObserver(() => {
                            const audio = document.getElementById('cm-audio'), ready = image.complete && image.naturalWidth > 0;
                            requestAnimationFrame(() => window.turns.push({
                                n: +document.body.dataset.cmShown, ready, t: audio.currentTime, rate: audio.playbackRate,
                            }));
                        }).observe(image, { attributes: true, attributeFilter: ['src'] });
                    });
                });
                await page.goto(base + 'sld001.htm');
                await page.waitForFunction(() => document.body.dataset.cmState === 'ready');
                await page.waitForTimeout(1000);
                const before = moved.length;
                await page.selectOption('#cm-speed', '2');
                await page.click('#cm-play');
                await page.waitForFunction((n) => window.turns.some((x) => x.n === n), rows.length, { timeout: 90000 });
                const turns = await page.evaluate(() => window.turns);
                await page.selectOption('#cm-speed', '1');
                const during = moved.slice(before);
                const expected = demo.cues.map((c) => c.n).slice(1);
                assert.deepEqual(turns.map((x) => x.n), expected, name);
                assert.ok(turns.every((x) => x.ready), `${name}: an image was not fetched ahead ${JSON.stringify(turns)}`);
                // Nothing but images and the audio while it plays: no page is read to turn.
                assert.deepEqual(during.filter((r) => /\.htm$/.test(r.url || '')), [], name);
                if (process.env.CUE_DEBUG) console.log(JSON.stringify(turns));
                const late = turns.map((x) => ((x.t - rows[x.n - 1].start) / x.rate) * 1000).sort((a, b) => a - b);
                const sum = (type) => during.filter((r) => type(r.type)).reduce((s, r) => s + r.bytes, 0);
                const other = sum((x) => x !== 'Image' && x !== 'Media'), images = sum((x) => x === 'Image');
                report(t, `slide on screen after its cue, ${name}, playing at 2x: median ${late[late.length >> 1].toFixed(0)} ms, ` +
                    `worst ${late[late.length - 1].toFixed(0)} ms over ${late.length} turns; per slide change ` +
                    `${(other / turns.length).toFixed(0)} bytes besides images and audio, ` +
                    `${(images / turns.length).toFixed(0)} bytes of images`);
                assert.deepEqual(page.errors ?? [], []);
            } finally {
                await own.close();
            }
        }
    });

    test('the page fits the screen on a wide screen and on a phone; pictures of it', async () => {
        for (const [name, device] of [['wide', WIDE], ['phone', PHONE]]) {
            const own = await launch(device);
            try {
                const page = await openPage(own, base + 'sld005.htm');
                const shot = (what, options = {}) => page.screenshot({ path: path.join(PICTURES, `${name}-${what}.png`), ...options });
                // One play control; its icon and label follow the audio.
                const controls = () => page.evaluate(() => ({
                    plays: [...document.querySelectorAll('button, a, audio[controls]')].filter((e) =>
                        e.offsetParent && /^(play|pause)/i.test(e.textContent.trim())).length,
                    audioBar: !!document.querySelector('audio[controls]:not([hidden])'),
                    icon: document.getElementById('cm-play').dataset.cmPlaying,
                }));
                assert.deepEqual(await controls(), { plays: 1, audioBar: false, icon: 'false' }, name);
                await page.click('#cm-play');
                await playing(page);
                assert.deepEqual(await controls(), { plays: 1, audioBar: false, icon: 'true' }, name);
                const fit = await page.evaluate(() => {
                    const box = (el) => el.getBoundingClientRect();
                    const image = document.getElementById('cm-slide'), shown = box(image);
                    const side = box(document.querySelector('.cm-side')), stage = box(document.querySelector('.cm-stage'));
                    return {
                        scaled: shown.width > image.naturalWidth * 0.7,
                        aspect: Math.abs(shown.width / shown.height - image.naturalWidth / image.naturalHeight) < 0.02,
                        inside: shown.right <= innerWidth && shown.bottom <= innerHeight,
                        beside: side.left >= stage.right, below: side.top >= stage.bottom, wider: document.documentElement.scrollWidth > innerWidth,
                    };
                });
                assert.deepEqual(fit, { scaled: true, aspect: true, inside: true, beside: name === 'wide',
                    below: name === 'phone', wider: false }, name);
                // Every target at least 24 by 24 CSS pixels, and the focus always shown, in view.
                const small = await page.evaluate(() => [...document.querySelectorAll('a[href], button, input, select')]
                    .filter((e) => e.offsetParent).map((e) => [e.id || e.className || e.textContent.trim(), e.getBoundingClientRect()])
                    .filter(([, r]) => r.width < 24 || r.height < 24).map(([what, r]) => `${what} ${r.width}x${r.height}`));
                assert.deepEqual(small, [], name);
                const unseen = [];
                for (let i = 0; i < 40; i++) {
                    await page.keyboard.press('Tab');
                    const focus = await page.evaluate(() => {
                        const el = document.activeElement, r = el.getBoundingClientRect(), s = getComputedStyle(el);
                        return { what: el.id || el.className || el.tagName, outline: s.outlineStyle !== 'none' && parseFloat(s.outlineWidth) >= 2,
                            inView: r.top >= 0 && r.bottom <= innerHeight + 1, body: el === document.body };
                    });
                    if (!focus.body && (!focus.outline || (name === 'wide' && !focus.inView))) unseen.push(focus);
                }
                assert.deepEqual(unseen, [], name);
                await page.evaluate(() => scrollTo(0, 0));
                await shot('playing');
                await page.locator('.cm-stage').screenshot({ path: path.join(PICTURES, `${name}-thumbnails.png`) });
                await page.locator('#cm-chapters').screenshot({ path: path.join(PICTURES, `${name}-chapters.png`) });
                await page.click('#cm-full');
                await page.waitForFunction(() => document.fullscreenElement && document.body.classList.contains('cm-full'));
                await page.waitForTimeout(300);
                const full = await page.evaluate(() => {
                    const box = (el) => el.getBoundingClientRect();
                    const bar = box(document.querySelector('.cm-bar')), controls = box(document.getElementById('cm-controls'));
                    const image = box(document.getElementById('cm-slide'));
                    return bar.top >= 0 && bar.bottom <= image.top + 1 && image.bottom <= controls.top + 1 &&
                        controls.bottom <= innerHeight && image.width > 0.5 * innerWidth;
                });
                assert.ok(full, name);
                await shot('fullscreen');
                await page.keyboard.press('f');
                await page.waitForFunction(() => !document.fullscreenElement);
                const search = await openPage(own, base + 'index.htm');
                await search.fill('#cm-search', 'cache');
                await search.waitForSelector('#cm-matches:not([hidden])');
                await search.screenshot({ path: path.join(PICTURES, `${name}-search.png`) });
                assert.deepEqual(page.errors, [], name);
            } finally {
                await own.close();
            }
        }
    });

    test('thumbnails and chapters mark the slide shown and play from theirs; a slide shown twice is one chapter', async () => {
        const page = await openPage(browser, base + 'sld002.htm');
        const marked = () => page.evaluate(() => ({
            thumb: [...document.querySelectorAll('.cm-thumb')].findIndex((b) => b.getAttribute('aria-current') === 'true') + 1,
            chapter: document.querySelector('#cm-chapter-list [aria-current] .cm-chapter-title')?.textContent,
        }));
        assert.equal(await page.$$eval('.cm-thumb', (b) => b.length), rows.length);
        assert.deepEqual(await marked(), { thumb: 2, chapter: rows[1].title });
        await page.click('.cm-thumb >> nth=7');
        await waitForSlide(page, demo.slides[7]);
        await playsNear(page, rows[7].start);
        assert.deepEqual(await marked(), { thumb: 8, chapter: rows[7].title });
        // One entry per slide; the slide shown on pages 4 and 10 once, with both times.
        const chapters = await page.$$eval('#cm-chapter-list li', (l) => l.map((li) => li.textContent.replace(/\s+/g, ' ').trim()));
        const slides = new Set(rows.filter((r) => r.stop > r.start).map((r) => (r.slide ? r.image : r.title + r.start)));
        assert.equal(chapters.length, slides.size);
        const twice = rows[3];
        assert.equal(rows[9].image, twice.image, 'the demo shows slide 4 again on page 10');
        assert.ok(chapters.includes(`${twice.title} 0:${String(twice.start).padStart(2, '0')} also at 0:${rows[9].start}`),
            chapters.join(' | '));
        // The index lists the same chapters.
        const index = await openPage(browser, base + 'index.htm');
        await index.waitForSelector('#cm-chapters:not([hidden])');
        assert.deepEqual(await index.$$eval('#cm-chapter-list li', (l) => l.map((li) => li.textContent.replace(/\s+/g, ' ').trim())),
            chapters);
        assert.deepEqual(await accessibilityViolations(index), []);
        assert.deepEqual(await accessibilityViolations(page), []);
        assert.deepEqual([...page.errors, ...index.errors], []);
        await page.close();
        await index.close();
    });

    test('the index search finds titles, slide text, notes and what is said, shows the words, and plays from there', async () => {
        const page = await openPage(browser, base + 'index.htm');
        await page.waitForFunction(() => document.body.dataset.cmTranscript === 'shown');
        const withText = rows.find((r) => r.text.length), withNotes = rows.find((r) => r.notes.length);
        assert.ok(withNotes, 'the demo deck gives notes');
        const noted = withNotes.notes[0].split(/\s+/).filter((w) => /^[a-z]{5,}$/i.test(w)).slice(0, 2).join(' ');
        const said = demo.spoken.find((c) => /short/.test(c.text));
        const cases = [
            // [query, where, page, time to play from]
            ['consistency', 'title', rows.findIndex((r) => /consistency/i.test(r.title)) + 1, null],
            [withText.text[0], 'slide text', rows.indexOf(withText) + 1, null],
            [noted, 'notes', rows.indexOf(withNotes) + 1, null],
            ['short', 'said', rows.findIndex((r, i) => r.start <= said.start && (rows[i + 1]?.start ?? 1e9) > said.start) + 1,
                Math.floor(said.start)],
        ];
        for (const [query, where, n, at] of cases) {
            await page.fill('#cm-search', query);
            await page.waitForFunction(() => !document.getElementById('cm-matches').hidden);
            const matches = await page.$$eval('.cm-match', (m) => m.map((a) => ({ where: a.querySelector('.cm-match-where').textContent,
                marked: [...a.querySelectorAll('mark')].map((x) => x.textContent.toLowerCase()), href: a.getAttribute('href') })));
            const found = matches.find((m) => m.where.startsWith(`Slide ${n} `) && m.where.endsWith(where));
            assert.ok(found, `${query}: ${JSON.stringify(matches)}`);
            const words = query.toLowerCase().split(/\s+/);
            assert.ok(words.every((w) => found.marked.some((m) => m === w)), `${query}: ${JSON.stringify(found)}`);
            assert.equal(found.href, `sld${String(n).padStart(3, '0')}.htm#t=${at ?? rows[n - 1].start}&play`, query);
            assert.equal(await page.$$eval('table tr', (r) => r.slice(1).filter((x) => !x.hidden).length) > 0, true);
        }
        assert.deepEqual(await accessibilityViolations(page), []);
        await page.click('.cm-match >> nth=0');
        await waitForSlide(page, demo.slides[cases[3][2] - 1]);
        await playsNear(page, cases[3][3]);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('keys as on video sites, listed by "?", and none while a text field has the focus', async () => {
        const page = await openPage(browser, base + 'sld003.htm');
        const now = () => page.evaluate(() => {
            const a = document.getElementById('cm-audio');
            return { paused: a.paused, time: a.currentTime, muted: a.muted, shown: location.pathname.slice(-10),
                caption: !document.getElementById('cm-caption').hidden, full: !!document.fullscreenElement };
        });
        await page.keyboard.press(' ');
        await playing(page);
        await page.keyboard.press('k');
        await page.waitForFunction(() => document.getElementById('cm-audio').paused);
        const start = (await now()).time;
        await page.keyboard.press('l');
        await page.waitForFunction((t) => Math.abs(document.getElementById('cm-audio').currentTime - t - 10) < 0.3, start);
        assert.equal((await now()).shown, 'sld005.htm');
        await page.keyboard.press('j');
        await page.waitForFunction((t) => Math.abs(document.getElementById('cm-audio').currentTime - t) < 0.3, start);
        await page.keyboard.press('ArrowRight');
        await waitForSlide(page, demo.slides[3]);
        await page.keyboard.press('ArrowLeft');
        await waitForSlide(page, demo.slides[2]);
        for (const [key, field, value] of [['m', 'muted', true], ['m', 'muted', false], ['c', 'caption', false],
            ['c', 'caption', true], ['f', 'full', true], ['f', 'full', false]]) {
            await page.keyboard.press(key);
            await page.waitForFunction(([f, v]) => {
                const a = document.getElementById('cm-audio');
                return { muted: a.muted, caption: !document.getElementById('cm-caption').hidden, full: !!document.fullscreenElement }[f] === v;
            }, [field, value]);
        }
        await page.keyboard.press('?');
        const list = await page.$eval('#cm-keylist', (d) => ({ open: d.open, text: d.textContent }));
        assert.ok(list.open);
        for (const words of ['Space', 'K', 'J', 'L', 'Left arrow', 'Right arrow', 'F', 'M', 'C', '?',
            'while a text field has the focus'])
            assert.ok(list.text.includes(words), words);
        await page.keyboard.press('Escape');
        await page.waitForFunction(() => !document.getElementById('cm-keylist').open);
        // A text field of another template's page: typing is typing.
        await page.evaluate(() => document.body.prepend(Object.assign(document.createElement('input'), { id: 'typing', type: 'text' })));
        await page.focus('#typing');
        const still = await now();
        for (const key of ['k', ' ', 'l', 'j', 'm', 'c', 'f', 'ArrowRight', '?']) await page.keyboard.press(key);
        await page.waitForTimeout(300);
        assert.deepEqual(await now(), still);
        assert.equal(await page.inputValue('#typing'), 'k ljmcf?');
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('"Copy link here" copies the address of the current second, which opens there', async () => {
        await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: site.url });
        const page = await openPage(browser, base + 'sld001.htm');
        await page.click('#cm-play');
        await playing(page);
        await seekTo(page, 40.6);
        await waitForSlide(page, demo.slides[8]);
        await page.click('#cm-copy');
        await page.waitForFunction(() => /^Copied the link/.test(document.getElementById('cm-status').textContent));
        const copied = await page.evaluate(() => navigator.clipboard.readText());
        assert.equal(copied, base + 'sld009.htm#t=40');
        const opened = await openPage(browser, copied);
        await page.close();
        await opened.waitForFunction(() => Math.abs(document.getElementById('cm-audio').currentTime - 40) < 0.5);
        assert.equal((await state(opened)).image, demo.slides[8].image);
        await opened.close();
    });

    test('without script the pages are plain links, the slide and its words still there', async () => {
        const plain = await launch({ ...WIDE, javaScriptEnabled: false });
        try {
            const page = await plain.context.newPage();
            await page.goto(base + 'sld005.htm');
            const seen = await page.evaluate(() => ({
                links: [...document.querySelectorAll('a[href]')].filter((a) => a.offsetParent).map((a) => a.getAttribute('href')),
                image: document.getElementById('cm-slide').complete && document.getElementById('cm-slide').naturalWidth > 0,
                words: document.getElementById('cm-words')?.textContent ?? '',
                controls: document.getElementById('cm-controls').offsetParent,
            }));
            assert.deepEqual(seen.links, ['sld004.htm', 'index.htm', 'sld006.htm', 'tsld005.ram']);
            assert.ok(seen.image && seen.controls === null);
            assert.ok(seen.words.includes(rows[4].title) && rows[4].notes.every((n) => seen.words.includes(n)), seen.words);
            await page.goto(base + 'index.htm');
            assert.equal(await page.$$eval('table a[href]', (a) => a.length), rows.length);
        } finally {
            await plain.close();
        }
    });
});
