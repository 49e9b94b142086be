// Plays written presentations in Debian's chromium, headless, served on 127.0.0.1 (the
// set-up and its variables: harness.js).
'use strict';

const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {
    ROOT, DEMO, PNM, PICTURES, serve, readPresentation, launch, openPage, state, playing, seekTo, waitForSlide,
    accessibilityViolations, withChangedCopy,
} = require('./harness.js');

// A figure for the report: in the test's output and on the console.
const report = (t, line) => {
    t.diagnostic(line);
    console.log(line);
};

describe('a presentation whose audio a browser can play', () => {
    let browser, site, demo, base;

    before(async () => {
        demo = readPresentation(DEMO);
        site = await serve(ROOT);
        base = new URL(DEMO.replace(/\/?$/, '/'), site.url).href;
        browser = await launch();
        fs.mkdirSync(PICTURES, { recursive: true });
    });
    after(async () => {
        await browser?.close();
        site?.server.close();
    });

    test('waits for a click or a key before the audio starts', async () => {
        const page = await openPage(browser, base + 'sld003.htm');
        assert.equal((await state(page)).state, 'ready');
        await page.waitForTimeout(300);
        // The audio is set up at the slide's start before the click, and waits there.
        const idle = await state(page);
        assert.ok(idle.paused);
        assert.equal(await page.evaluate(() => document.getElementById('cm-audio').played.length), 0);
        await page.keyboard.press('p');
        await playing(page);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('"Play from here" on slide 3 plays from slide 3\'s start', async () => {
        const page = await openPage(browser, base + 'sld003.htm');
        await page.click('#cm-play');
        const start = demo.slides[2].start;
        await page.waitForFunction(() => {
            const audio = document.getElementById('cm-audio');
            return !audio.paused && !audio.seeking && audio.currentTime > 0;
        });
        const now = await state(page);
        assert.ok(now.time >= start && now.time < start + 1.5, `time ${now.time}, start ${start}`);
        assert.ok(now.address.endsWith('/sld003.htm'));
        assert.equal(now.image, demo.slides[2].image);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('a time inside slide 5 shows slide 5 and moves the address', async () => {
        const page = await openPage(browser, base + 'sld002.htm');
        await page.click('#cm-play');
        await playing(page);
        const cue = demo.cues.find((c) => c.n === 5);
        await seekTo(page, (cue.start + cue.end) / 2);
        await waitForSlide(page, demo.slides[4]);
        const now = await state(page);
        assert.equal(await page.textContent('#cm-heading'), `Slide 5 of ${demo.slides.length}: ${now.alt}`);
        assert.match(await page.title(), /slide 5/);
        assert.ok(await page.evaluate(() => {
            const prev = document.getElementById('cm-prev');
            const next = document.getElementById('cm-next');
            return !prev.hidden && prev.getAttribute('href') === 'sld004.htm' &&
                next.getAttribute('href') === 'sld006.htm';
        }));
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('in the gap between two cues the earlier slide stays', async () => {
        const page = await openPage(browser, base + 'sld001.htm');
        await page.click('#cm-play');
        await playing(page);
        const three = demo.cues.find((c) => c.n === 3);
        const four = demo.cues.find((c) => c.n === 4);
        assert.ok(four.start - three.end > 0.05, 'the event list leaves a gap between cues');
        // Coming from a later slide, so a stale page cannot pass for the right one.
        await seekTo(page, four.start + 0.5);
        await waitForSlide(page, demo.slides[3]);
        await seekTo(page, (three.end + four.start) / 2);
        await waitForSlide(page, demo.slides[2]);
        await page.waitForTimeout(300);
        assert.ok((await state(page)).address.endsWith('/sld003.htm'));
        await page.close();
    });

    test('the keyboard moves between slides while the lecture plays', async () => {
        const page = await openPage(browser, base + 'sld002.htm');
        await page.keyboard.press('p');
        await playing(page);
        await page.keyboard.press('ArrowRight');
        await waitForSlide(page, demo.slides[2]);
        const now = await state(page);
        assert.ok(now.time >= demo.cues.find((c) => c.n === 3).start);
        await page.keyboard.press('ArrowLeft');
        await page.keyboard.press('ArrowLeft');
        await waitForSlide(page, demo.slides[0]);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('every link and image of every page resolves', async () => {
        const page = await browser.context.newPage();
        const missing = [];
        for (const file of demo.pages) {
            await page.goto(base + file);
            const targets = await page.evaluate(() => [
                ...[...document.querySelectorAll('a[href]')].map((a) => a.href),
                ...[...document.querySelectorAll('img[src]')].map((i) => i.src),
            ]);
            for (const target of targets) {
                const response = await page.request.get(target);
                if (!response.ok()) missing.push(`${file}: ${target} (${response.status()})`);
            }
        }
        assert.deepEqual(missing, []);
        await page.close();
    });

    test('the index table has a caption and header cells', async () => {
        const page = await browser.context.newPage();
        await page.goto(base + 'index.htm');
        const table = await page.evaluate(() => {
            const t = document.querySelector('table');
            return {
                caption: t.caption ? t.caption.textContent : '',
                headers: [...t.rows[0].cells].map((c) => c.tagName + ':' + c.textContent),
                rows: t.rows.length - 1,
            };
        });
        assert.notEqual(table.caption, '');
        assert.deepEqual(table.headers, ['TH:Slide', 'TH:Title', 'TH:Start']);
        assert.equal(table.rows, demo.slides.length);
        await page.close();
    });

    test('every control is reached by Tab and shows where the focus is', async () => {
        const page = await openPage(browser, base + 'sld003.htm');
        const reached = [];
        for (let i = 0; i < 8; i++) {
            await page.keyboard.press('Tab');
            const focus = await page.evaluate(() => {
                const el = document.activeElement;
                const style = getComputedStyle(el);
                return { id: el.id, outline: style.outlineStyle !== 'none' &&
                    parseFloat(style.outlineWidth) >= 2 };
            });
            if (focus.id) reached.push(focus);
        }
        const ids = reached.map((f) => f.id);
        for (const id of ['cm-prev', 'cm-index', 'cm-next', 'cm-play'])
            assert.ok(ids.includes(id), `${id} is not reached by Tab: ${ids}`);
        assert.ok(reached.every((f) => f.outline), JSON.stringify(reached));
        assert.equal(await page.getAttribute('#cm-live', 'aria-live'), 'polite');
        await page.close();
    });

    // Beyond playback: deep links, speed, transcript, index, resume, full screen, phone.
    test('a deep link shows its slide with the audio there; the address keeps the second it is at', async () => {
        const five = demo.cues.find((c) => c.n === 5), six = demo.cues.find((c) => c.n === 6);
        const t = Math.round(five.start + 1);
        const page = await openPage(browser, base + `sld001.htm#t=${t}`);
        await waitForSlide(page, demo.slides[4]);
        await page.waitForFunction((at) => Math.abs(document.getElementById('cm-audio').currentTime - at) < 0.5, t);
        const idle = await state(page);
        assert.ok(idle.paused);
        assert.equal(await page.evaluate(() => location.hash), `#t=${t}`);
        const button = await page.$eval('#cm-play', (b) => [b.tagName, b.textContent.trim()]);
        assert.deepEqual(button, ['BUTTON', 'Play']);
        await page.click('#cm-play');
        await playing(page);
        assert.ok((await state(page)).time >= t - 0.5);
        assert.equal((await page.textContent('#cm-play')).trim(), 'Pause');
        // 0.7 s into a second is still that second: a copied address keeps the moment.
        await seekTo(page, six.start + 1.7);
        await page.evaluate(() => document.getElementById('cm-audio').play());
        await page.waitForFunction((h) => location.pathname.endsWith('/sld006.htm') && location.hash === h,
            `#t=${six.start + 1}`);
        assert.equal(await page.getAttribute('#cm-seek', 'aria-label'), 'Position in the lecture');
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('headings number the slide as the index\'s "Slide" column does, after a pause row too', async () => {
        const page = await browser.context.newPage();
        const count = demo.slides.length;
        await page.goto(base + 'index.htm');
        const column = await page.$$eval('table tr', (r) => r.slice(1).map((x) => [x.cells[0].textContent.trim(),
            x.cells[1].textContent.trim()]));
        for (const k of [0, 6, 7, 8, 9]) {
            await page.goto(base + demo.slides[k].file);
            await page.waitForFunction(() => document.body.dataset.cmState === 'ready');
            const [n, title] = column[k];
            assert.equal(await page.textContent('#cm-heading'), `Slide ${n} of ${count}: ${title}`);
            assert.equal(await page.getAttribute('#cm-slide', 'alt'), title);
        }
        assert.ok(demo.slides[6].image.endsWith('wait.gif'), 'row 7 is a pause');
        await page.close();
    });

    test('Speed plays faster at the same pitch and is kept for the next page', async () => {
        const page = await openPage(browser, base + 'sld002.htm');
        const label = await page.evaluate(() => document.getElementById('cm-speed').closest('label').textContent);
        assert.match(label, /^Speed/);
        assert.deepEqual(await page.$$eval('#cm-speed option', (o) => o.map((x) => x.textContent)),
            ['0.75x', '1x', '1.25x', '1.5x', '2x']);
        await page.selectOption('#cm-speed', '1.5');
        await page.click('#cm-play');
        await playing(page);
        const audio = () => page.evaluate(() => {
            const a = document.getElementById('cm-audio');
            return [a.playbackRate, a.preservesPitch];
        });
        assert.deepEqual(await audio(), [1.5, true]);
        await page.goto(base + 'sld003.htm');
        await page.waitForFunction(() => document.body.dataset.cmState === 'ready');
        assert.equal(await page.inputValue('#cm-speed'), '1.5');
        assert.deepEqual(await audio(), [1.5, true]);
        await page.selectOption('#cm-speed', '1');
        await page.close();
    });

    test('the transcript marks and scrolls to the cue said, captions it, and plays from a cue', async () => {
        assert.ok(demo.spoken.length > 5, 'the demo has captions.vtt');
        const page = await openPage(browser, base + 'sld003.htm');
        await page.waitForSelector('#cm-transcript:not([hidden])');
        assert.equal(await page.$$eval('#cm-cues li', (l) => l.length), demo.spoken.length);
        await page.click('#cm-play');
        await playing(page);
        const k = demo.spoken.length - 2, cue = demo.spoken[k];
        await seekTo(page, cue.start + 0.5);
        await page.waitForFunction((text) => document.getElementById('cm-caption').textContent === text, cue.text);
        const marked = await page.evaluate(() => {
            const items = [...document.querySelectorAll('#cm-cues li')];
            const at = items.findIndex((li) => li.getAttribute('aria-current') === 'true');
            const list = document.getElementById('cm-cues').getBoundingClientRect();
            const item = items[at].getBoundingClientRect();
            return { at, visible: item.top >= list.top && item.bottom <= list.bottom };
        });
        assert.deepEqual(marked, { at: k, visible: true });
        await page.click(`#cm-cues li:nth-child(2) button`);
        await page.waitForFunction((t) => {
            const a = document.getElementById('cm-audio');
            return !a.paused && a.currentTime >= t && a.currentTime < t + 1.5;
        }, demo.spoken[1].start);
        assert.deepEqual(await accessibilityViolations(page), []);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('the index plays from its start times and its search hides rows', async () => {
        const page = await browser.context.newPage();
        await page.goto(base + 'index.htm');
        await page.waitForSelector('.cm-search:not([hidden])');
        const rows = await page.$$eval('table tr', (r) => r.length);
        const starts = await page.$$eval('td a.cm-start', (a) => a.map((x) => x.getAttribute('href')));
        assert.equal(starts.length, demo.slides.length);
        assert.equal(starts[4], `sld005.htm#t=${demo.slides[4].start}&play`);
        const shown = () => page.$$eval('table tr', (r) => r.slice(1).map((x) => !x.hidden));
        // A row is found when its title, words or what is said while it shows hold the query.
        const rowsOf = demo.table.rows;
        const holds = (q) => rowsOf.map((r, i) => [r.title, ...r.text, ...r.notes,
            ...demo.spoken.filter((c) => c.start >= r.start && c.start < (rowsOf[i + 1]?.start ?? Infinity)).map((c) => c.text)]
            .join('\n').toLowerCase().includes(q));
        // "short" is said at the pause; "cache" stands in titles and words.
        for (const [query, keep] of [
            ['Cache', holds('cache')],
            ['short', holds('short')],
            ['', rowsOf.map(() => true)],
        ]) {
            await page.fill('#cm-search', query);
            await page.waitForFunction(([q, n]) => (document.getElementById('cm-found').textContent === '') === (q === '') &&
                [...document.querySelectorAll('table tr')].slice(1).filter((r) => !r.hidden).length === n,
            [query, keep.filter(Boolean).length]);
            assert.deepEqual(await shown(), keep, query);
            assert.equal(await page.$$eval('table tr', (r) => r.length), rows);
            if (query === 'short') assert.deepEqual(await accessibilityViolations(page), []);
        }
        await page.click('td a.cm-start >> nth=4');
        await waitForSlide(page, demo.slides[4]);
        await page.waitForFunction((t) => Math.abs(document.getElementById('cm-audio').currentTime - t) < 1.5,
            demo.slides[4].start);
        await page.close();
    });

    test('the last position is offered on the next visit', async () => {
        const six = demo.cues.find((c) => c.n === 6);
        const page = await openPage(browser, base + 'sld002.htm');
        await page.click('#cm-play');
        await playing(page);
        await seekTo(page, six.start + 1);
        await waitForSlide(page, demo.slides[5]);
        await page.goto(base + 'sld001.htm');
        await page.waitForSelector('#cm-resume:not([hidden])');
        assert.match(await page.textContent('#cm-resume'), /^Resume at .* \(slide 6\)$/);
        await page.click('#cm-resume');
        await page.waitForURL(/sld006\.htm/);
        await page.waitForFunction((t) => Math.abs(document.getElementById('cm-audio').currentTime - t) < 1.5,
            six.start + 1);
        await playing(page);
        await page.close();
    });

    test('full screen shows the slide as large as the screen, the controls still there', async () => {
        const page = await openPage(browser, base + 'sld004.htm');
        await page.click('#cm-full');
        await page.waitForFunction(() => document.fullscreenElement && document.body.classList.contains('cm-full'));
        const fit = await page.evaluate(() => {
            const box = (el) => el.getBoundingClientRect();
            const image = box(document.getElementById('cm-slide')), bar = box(document.querySelector('.cm-bar'));
            const controls = box(document.getElementById('cm-controls'));
            return { wide: image.width / innerWidth, tall: image.height / innerHeight,
                whole: bar.top >= 0 && controls.bottom <= innerHeight && image.bottom <= controls.top + 1 };
        });
        // As large as the screen allows: the full height left, or the full width.
        assert.ok((fit.wide > 0.9 || fit.tall > 0.7) && fit.whole, JSON.stringify(fit));
        await page.keyboard.press('f');
        await page.waitForFunction(() => !document.fullscreenElement);
        await page.close();
    });

    test('on a phone the keys button and status take no space, and a swipe turns the slide', async () => {
        const phone = await launch({ viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true });
        try {
            const page = await openPage(phone, base + 'sld003.htm');
            assert.equal((await state(page)).state, 'ready');
            const heights = await page.evaluate(() => ['cm-status', 'cm-keys'].map((id) =>
                document.getElementById(id).offsetHeight));
            assert.deepEqual(heights, [0, 0]);
            const box = await page.locator('#cm-slide').boundingBox();
            const cdp = await phone.context.newCDPSession(page);
            const y = box.y + box.height / 2;
            const touch = (type, x) => cdp.send('Input.dispatchTouchEvent',
                { type, touchPoints: type === 'touchEnd' ? [] : [{ x, y }] });
            await touch('touchStart', box.x + box.width * 0.8);
            for (const f of [0.6, 0.4, 0.2]) await touch('touchMove', box.x + box.width * f);
            await touch('touchEnd');
            await page.waitForURL(/sld004\.htm(#|$)/);
            assert.deepEqual(page.errors, []);
        } finally {
            await phone.close();
        }
    });

    test('click to audio, measured for the report', async (t) => {
        const times = [];
        for (let i = 0; i < 5; i++) {
            const page = await openPage(browser, base + 'sld003.htm');
            await page.waitForTimeout(300);
            await page.evaluate(() => {
                const button = document.getElementById('cm-play');
                button.addEventListener('click', () => {
                    window.clickedAt = performance.now();
                }, { capture: true });
                document.getElementById('cm-audio').addEventListener('playing', () => {
                    window.playingAt = performance.now();
                }, { once: true });
            });
            await page.click('#cm-play');
            await page.waitForFunction(() => window.playingAt);
            times.push(await page.evaluate(() => window.playingAt - window.clickedAt));
            await page.close();
        }
        times.sort((a, b) => a - b);
        const line = `click to audio playing on 127.0.0.1: median ${times[2].toFixed(0)} ms ` +
            `(${times.map((x) => x.toFixed(0)).join(', ')})`;
        t.diagnostic(line);
        console.log(line);
    });
});

describe('where the slide times come from', () => {
    let browser, demo;

    before(async () => {
        demo = readPresentation(DEMO);
        browser = await launch();
    });
    after(async () => {
        await browser?.close();
    });

    async function slideShownAt(base, seconds) {
        const page = await openPage(browser, base + 'sld001.htm');
        await page.click('#cm-play');
        await playing(page);
        await seekTo(page, seconds);
        await page.waitForTimeout(300);
        const shown = (await state(page)).address.replace(/^.*\//, '');
        await page.close();
        return shown;
    }

    test('the event file named after the audio comes first', async () => {
        const five = demo.cues.find((c) => c.n === 5);
        assert.ok(fs.readdirSync(path.join(ROOT, DEMO)).some((f) => /\.rae$/i.test(f)));
        // An event list that says otherwise is not read while the event file is there.
        await withChangedCopy((folder) => {
            const list = path.join(folder, 'cevents.txt');
            fs.writeFileSync(list, fs.readFileSync(list, 'latin1').replace(/sld\d+\.htm/g,
                'sld001.htm'), 'latin1');
        }, async (base) => {
            assert.equal(await slideShownAt(base, five.start + 1), 'sld005.htm');
        }, { table: false });
    });

    test('without captions.vtt no transcript or caption shows', async () => {
        await withChangedCopy((folder) => fs.rmSync(path.join(folder, 'captions.vtt')), async (base) => {
            const page = await openPage(browser, base + 'sld003.htm');
            await page.waitForTimeout(300);
            assert.deepEqual(await page.$$eval('#cm-transcript, #cm-caption', (e) => e.map((x) => x.hidden)),
                [true, true]);
            await page.close();
        });
    });

    test('without the event file the event list times the slides', async () => {
        const five = demo.cues.find((c) => c.n === 5);
        await withChangedCopy((folder) => {
            for (const f of fs.readdirSync(folder))
                if (/\.rae$/i.test(f)) fs.rmSync(path.join(folder, f));
        }, async (base) => {
            assert.equal(await slideShownAt(base, five.start + 1), 'sld005.htm');
        }, { table: false });
    });
});

// What a hostile or careless file could cost the pages: the main thread's longest task
// while a page reads captions.vtt and shows it, and the preload page with a bad address.
describe('files that would cost the pages dearly', () => {
    let browser;

    before(async () => {
        browser = await launch();
    });
    after(async () => {
        await browser?.close();
    });

    const clock = (s) => new Date(s * 1000).toISOString().slice(11, 23);
    const captions = [
        ['one cue of 10^6 "<"', () => `WEBVTT\n\n00:00:01.000 --> 00:00:02.000\n${'<'.repeat(1e6)}\n`],
        ['100,000 cues', () => 'WEBVTT\n\n' + Array.from({ length: 100000 },
            (_, i) => `${clock(i * 0.5)} --> ${clock(i * 0.5 + 0.4)}\nCue ${i} <b>said</b> &amp; more\n`).join('\n')],
    ];

    // What the page costs once captions.vtt comes in: its main thread's tasks from the
    // file's first bytes on, from a trace, in thread time (what the page itself spends)
    // and in wall time (which a shared machine stretches).
    async function captionCost(url) {
        // A browser of its own: no other page's garbage is collected in this one's time.
        const own = await launch();
        try {
            const page = await own.context.newPage();
            page.errors = [];
            page.on('pageerror', (e) => page.errors.push(e.message));
            const cdp = await own.context.newCDPSession(page);
            const events = [];
            cdp.on('Tracing.dataCollected', (e) => events.push(...e.value));
            const traced = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
            await cdp.send('Tracing.start', { categories: 'devtools.timeline,disabled-by-default-devtools.timeline',
                transferMode: 'ReportEvents' });
            await page.goto(url);
            await page.waitForFunction(() => document.body.dataset.cmTranscript === 'shown', null, { timeout: 60000 });
            if (url.endsWith('index.htm')) {
                await page.fill('#cm-search', 'said');
                await page.waitForFunction(() => document.getElementById('cm-found').textContent !== '');
            }
            // A task still running ends before the figures are taken.
            await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 50))));
            const items = await page.$$eval('li', (l) => l.length);
            await cdp.send('Tracing.end');
            await traced;
            const main = new Set(events.filter((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain')
                .map((e) => `${e.pid}:${e.tid}`));
            const sent = events.find((e) => e.name === 'ResourceSendRequest' && /\/captions\.vtt$/.test(e.args.data.url));
            const arrived = events.find((e) => e.name === 'ResourceReceiveResponse' &&
                e.args.data.requestId === sent.args.data.requestId);
            const tasks = events.filter((e) => e.name === 'RunTask' && e.ph === 'X' && main.has(`${e.pid}:${e.tid}`) &&
                e.ts >= arrived.ts);
            const longest = (key) => Math.max(0, ...tasks.map((e) => (e[key] || 0) / 1000));
            return { thread: longest('tdur'), wall: longest('dur'), items, errors: page.errors };
        } finally {
            await own.close();
        }
    }

    test('a page stays interactive within 200 ms while it reads a crafted captions.vtt', async (t) => {
        for (const [name, vtt] of captions) {
            await withChangedCopy((folder) => fs.writeFileSync(path.join(folder, 'captions.vtt'), vtt()),
                async (base) => {
                    for (const file of ['sld003.htm', 'index.htm']) {
                        const cost = await captionCost(base + file);
                        const line = `${name}, ${file}: longest main-thread task once captions.vtt comes in ` +
                            `${cost.thread.toFixed(0)} ms of thread time (${cost.wall.toFixed(0)} ms of wall time on ` +
                            `this machine), ${cost.items} list items`;
                        report(t, line);
                        assert.ok(cost.thread < 200, line);
                        assert.ok(cost.items <= 400, line);
                        assert.deepEqual(cost.errors, [], line);
                    }
                });
        }
    });

    test('an image address no browser reads is skipped, and the others are preloaded', async () => {
        await withChangedCopy((folder) => {
            const file = path.join(folder, 'preload.htm');
            const images = ['wait.gif', 'http://[x', 'ralogo.gif'];
            fs.writeFileSync(file, fs.readFileSync(file, 'latin1').replace(/SLDtoGIF \( \d+\) = "[^"]*"\r\n/g, '')
                .replace(/ReDim SLDtoGIF[^\r\n]*\r\n/, (line) => line + images.map((u, i) =>
                    `SLDtoGIF ( ${i + 1}) = "${u}"\r\n`).join('')), 'latin1');
        }, async (base) => {
            const page = await browser.context.newPage();
            const errors = [];
            page.on('pageerror', (e) => errors.push(e.message));
            const asked = [];
            page.on('request', (r) => asked.push(r.url().replace(/^.*\//, '')));
            await page.goto(base + 'preload.htm');
            await page.waitForFunction(() => /^Slide images loaded\./.test(document.getElementById('cm-status').textContent));
            assert.match(await page.textContent('#cm-status'), /Skipped 1 image address that/);
            assert.ok(asked.includes('wait.gif') && asked.includes('ralogo.gif'), asked.join(' '));
            assert.deepEqual(errors, []);
            await page.close();
        });
    });
});

describe('plain navigation where the lecture cannot play', () => {
    let browser, site, base;

    before(async () => {
        site = await serve(ROOT);
        base = site.url;
        browser = await launch();
    });
    after(async () => {
        await browser?.close();
        site?.server.close();
    });

    async function expectPlain(url, reason) {
        const page = await openPage(browser, url);
        const now = await state(page);
        assert.equal(now.state, 'plain');
        assert.match(now.status, reason);
        assert.equal(await page.getAttribute('#cm-play', 'href'), 'tsld003.ram');
        // Links and keys still move between the pages.
        await page.keyboard.press('ArrowRight');
        await page.waitForURL(/sld004\.htm$/);
        await page.click('#cm-prev');
        await page.waitForURL(/sld003\.htm$/);
        assert.deepEqual(page.errors, []);
        await page.close();
    }

    test('a pnm:// presentation', async () => {
        await expectPlain(new URL(PNM.replace(/\/?$/, '/sld003.htm'), base).href,
            /cannot be played in a web browser/);
    });

    test('a page opened from file://', async () => {
        const file = 'file://' + path.join(ROOT, DEMO, 'sld003.htm');
        await expectPlain(file, /Opened as a file/);
    });

    test('a presentation without its event list', async () => {
        await withChangedCopy((folder) => {
            for (const f of fs.readdirSync(folder))
                if (/^cevents\.txt$|\.rae$/i.test(f)) fs.rmSync(path.join(folder, f));
        }, (base) => expectPlain(base + 'sld003.htm', /No event list/), { table: false });
    });

    test('hostile metafiles: no event file from elsewhere, no time a page cannot take, no garbled message', async () => {
        const cases = [
            // [audio URL and times of tsld003.ram, status, state]
            // The audio may lie elsewhere, and fails to load there; the event file may not.
            ['\\\\evil.invalid\\x.ra.mp3?start="00:00:09"&end="00:01:00"', /^Press Play|could not be loaded/, null],
            [`lecture6.ra.mp3?start="${'9'.repeat(400)}:00:00"&end="00:01:00"`, /^The metafile \(tsld003\.ram\) gives no/, 'plain'],
            ['pnm://h/a$&b$1.ra?start="00:00:09"&end="00:01:00"', /\(pnm:\/\/h\/a\$&b\$1\.ra\) cannot be played/, 'plain'],
        ];
        for (const [line, status, expected] of cases) {
            await withChangedCopy((folder) => fs.writeFileSync(path.join(folder, 'tsld003.ram'), line + '\r\n'),
                async (base) => {
                    const page = await openPage(browser, base + 'sld003.htm');
                    const asked = [];
                    page.on('request', (r) => asked.push(r.url()));
                    await page.reload();
                    await page.waitForFunction(() => document.body.dataset.cmState);
                    await page.waitForTimeout(300);
                    const now = await state(page);
                    assert.match(now.status, status, line);
                    if (expected) assert.equal(now.state, expected, line);
                    assert.deepEqual(asked.filter((u) => /\.rae$/i.test(u) && !u.startsWith(base)), [], line);
                    assert.deepEqual(page.errors, [], line);
                    await page.close();
                }, { table: false });
        }
    });

    test('audio that does not load', async () => {
        await withChangedCopy((folder) => {
            for (const f of fs.readdirSync(folder))
                if (/\.(mp3|ogg)$/i.test(f)) fs.rmSync(path.join(folder, f));
        }, async (base) => {
            const page = await openPage(browser, base + 'sld003.htm');
            await page.click('#cm-play');
            await page.waitForFunction(() => document.body.dataset.cmState === 'plain');
            assert.match((await state(page)).status, /could not be loaded/);
            await page.keyboard.press('ArrowRight');
            await page.waitForURL(/sld004\.htm$/);
            await page.close();
        });
    });
});

describe('a server without byte ranges', () => {
    test('still starts slide 3 at its start, from the whole file', async () => {
        const demo = readPresentation(DEMO);
        // Slow enough that the seek comes before the audio is in: the browser snaps it back.
        const site = await serve(ROOT, { ranges: false, rate: 48000 });
        const browser = await launch();
        try {
            const page = await openPage(browser,
                new URL(DEMO.replace(/\/?$/, '/sld003.htm'), site.url).href);
            await page.click('#cm-play');
            await page.waitForFunction(() => {
                const audio = document.getElementById('cm-audio');
                return !audio.paused && !audio.seeking && audio.currentTime > 0;
            }, null, { timeout: 20000 });
            assert.match((await state(page)).source, /^blob:/);
            const now = await state(page);
            const start = demo.slides[2].start;
            assert.ok(now.time >= start && now.time < start + 1.5, `time ${now.time}`);
            assert.match(now.source, /^blob:/);
            assert.deepEqual(page.errors, []);
        } finally {
            await browser.close();
            site.server.close();
        }
    });
});
