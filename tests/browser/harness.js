// What the browser tests share: Debian's chromium driven headless by playwright-core, the
// demo presentation served on 127.0.0.1, and readers of what the writers put into it.
//   CUE_PLAYER_ROOT   folder served as the site root (slide images may lie beside the pages)
//   CUE_PLAYER_DEMO   the playable presentation's folder below the root (an .mp3 audio URL)
//   CUE_PLAYER_PNM    a presentation of the same lecture whose audio URL is pnm://...ra
//   CUE_PICTURE_DIR   where the pictures of the player go
//   CHROMIUM          the browser (default /usr/bin/chromium)
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { serve } = require('../../tools/serve.js');

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
let chromium;
try {
    ({ chromium } = require('playwright-core'));
    fs.accessSync(CHROMIUM, fs.constants.X_OK);
} catch (e) {
    // `make test` installs both; a bare ctest run without them says so and skips (77),
    // except on CI, where a missing browser is a failure.
    console.error(`browser test needs playwright-core (npm ci in tests/browser) and ${CHROMIUM}` +
        ` (make deps installs both): ${e.message}`);
    process.exit(process.env.CI ? 1 : 77);
}

const DEMO = process.env.CUE_PLAYER_DEMO || '';
const PNM = process.env.CUE_PLAYER_PNM || '';
const PICTURES = process.env.CUE_PICTURE_DIR || path.join(os.tmpdir(), 'cuemark-pictures');

const nnn = (n) => String(n).padStart(3, '0');
const seconds = (d, h, m, s) => ((+d * 24 + +h) * 60 + +m) * 60 + +s;
const deckNumber = (image) => +(/(\d+)\.\w+$/.exec(image) || [0, 0])[1];
const BLOCK = /<script type="application\/json" id="cm-lecture">\r?\n([^\r\n]*)\r?\n<\/script>\r?\n/;

// The lecture's table as a page carries it, or null.
function tableOf(page) {
    const m = BLOCK.exec(page);
    return m ? JSON.parse(m[1]) : null;
}

// JSON that cannot leave its script block, as the writers write it.
const blockJson = (value) => JSON.stringify(value).replace(/[<>&\u2028\u2029]/g,
    (c) => `\\u${c.charCodeAt(0).toString(16).padStart(4, '0')}`);
const html = (text) => text.replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`);
const unhtml = (text) => text.replace(/&#(\d+);/g, (a, d) => String.fromCharCode(+d))
    .replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&quot;/g, '"').replace(/&amp;/g, '&');

function wordsHtml(row) {
    return `<div id="cm-words"><h2 class="cm-words-title">${html(row.title)}</h2><ul id="cm-slide-text">` +
        row.text.map((l) => `<li>${html(l)}</li>`).join('') + '</ul><div id="cm-slide-notes">' +
        row.notes.map((l) => `<p>${html(l)}</p>`).join('') + '</div></div>';
}

// Puts `lines` after the line holding `marker`, in any letter case, as the writers do.
function afterMarker(page, marker, lines) {
    const at = page.toLowerCase().indexOf(marker.toLowerCase());
    if (at < 0) throw new Error(`no ${marker} line`);
    const end = page.indexOf('\n', at) + 1;
    return page.slice(0, end) + lines.map((l) => l + '\r\n').join('') + page.slice(end);
}

function writeTable(dir, file, table, row) {
    const name = path.join(dir, file);
    let page = fs.readFileSync(name, 'utf8').replace(BLOCK, '');
    page = afterMarker(page, '<!-- **LECTURE** -->',
        ['<script type="application/json" id="cm-lecture">', blockJson(table), '</script>']);
    if (row) page = afterMarker(page.replace(/<div id="cm-words">.*<\/div><\/div>\r?\n/, ''), '<!-- **SLIDETEXT** -->',
        [wordsHtml(row)]);
    fs.writeFileSync(name, page);
}

// The note the search tests look for, where the deck gives none.
const NOTE = 'Ask who has configured a proxy cache before';

// Gives the presentation in `dir` the lecture's table in every page and chapters.vtt, as
// the writers do, where they have not: from its metafiles, event list and index. Where no
// slide has notes, the slide "Where to put a cache" gets one, so a search can find it.
function addLectureTable(dir) {
    const read = (name) => fs.readFileSync(path.join(dir, name), 'utf8');
    const pages = fs.readdirSync(dir).filter((f) => /^sld\d{3}\.htm$/.test(f)).sort();
    let table = tableOf(read(pages[0]));
    if (!table) {
        const titles = [...read('index.htm').matchAll(/<A HREF="sld(\d+)\.htm" > ([^\r\n]*)<\/A><\/P><\/A>/g)]
            .map((m) => unhtml(m[2]));
        const stops = {};
        for (const m of read('cevents.txt').matchAll(/ (\d+):(\d+):(\d+):(\d+)\.(\d) \S*sld(\d+)\.htm/g))
            stops[+m[6]] = Math.round(seconds(m[1], m[2], m[3], m[4]) + m[5] / 10 + 0.1);
        const audio = /^(.*)\?start=/.exec(read('tsld001.ram'))[1];
        const rows = pages.map((file, k) => {
            const ram = /\?start="(\d+):(\d+):(\d+)"/.exec(read(`tsld${nnn(k + 1)}.ram`));
            const start = seconds(0, ram[1], ram[2], ram[3]);
            const image = /id="cm-slide"[\s\S]*?\ssrc="([^"]*)"/.exec(read(file))[1];
            const slide = image.endsWith('wait.gif') ? 0 : deckNumber(image);
            return { page: file, image, title: titles[k], start, stop: stops[k + 1] ?? start, slide,
                text: slide ? [`CS 528 lecture 6, slide ${slide}`] : [], notes: [] };
        });
        table = { audio, chapters: 'chapters.vtt', page: 0, rows };
    }
    if (!table.rows.some((r) => r.notes.length)) table.rows.find((r) => r.title === 'Where to put a cache').notes = [NOTE];
    pages.forEach((file, k) => writeTable(dir, file, { ...table, page: k + 1 }, table.rows[k]));
    writeTable(dir, 'index.htm', { ...table, page: 0 }, null);
    if (!fs.existsSync(path.join(dir, 'chapters.vtt'))) {
        const clock = (s) => new Date(s * 1000).toISOString().slice(11, 23);
        fs.writeFileSync(path.join(dir, 'chapters.vtt'), 'WEBVTT\r\n\r\n' + table.rows.filter((r) => r.stop > r.start)
            .map((r) => `${clock(r.start)} --> ${clock(r.stop)}\r\n${html(r.title)}\r\n`).join('\r\n'));
    }
}

// The pages of a presentation without their table, as pages written before it were.
function stripTable(dir) {
    for (const file of fs.readdirSync(dir).filter((f) => /\.htm$/.test(f))) {
        const name = path.join(dir, file);
        fs.writeFileSync(name, fs.readFileSync(name, 'utf8').replace(BLOCK, ''));
    }
}

// The demo as served to the tests: a copy of the root, the lecture's table in the
// playable presentation's pages.
const ROOT = fs.mkdtempSync(path.join(os.tmpdir(), 'cuemark-site-'));
fs.cpSync(path.resolve(process.env.CUE_PLAYER_ROOT || ''), ROOT, { recursive: true });
process.on('exit', () => fs.rmSync(ROOT, { recursive: true, force: true }));
if (DEMO) addLectureTable(path.join(ROOT, DEMO));

// What the writers put into a presentation folder, read back independently of the player.
function readPresentation(folder) {
    const dir = path.join(ROOT, folder);
    const read = (name) => fs.readFileSync(path.join(dir, name), 'latin1');
    const cues = [];
    for (const line of read('cevents.txt').split(/\r?\n/)) {
        const m = /^u (\d+):(\d+):(\d+):(\d+)\.(\d) (\d+):(\d+):(\d+):(\d+)\.(\d) \S*sld(\d+)\.htm$/.exec(
            line);
        if (m)
            cues.push({
                start: seconds(m[1], m[2], m[3], m[4]) + m[5] / 10,
                end: seconds(m[6], m[7], m[8], m[9]) + m[10] / 10,
                n: +m[11],
            });
    }
    const pages = fs.readdirSync(dir).filter((f) => /^sld\d{3}\.htm$/.test(f)).sort();
    const slides = pages.map((file, k) => {
        const ram = /\?start="(\d+):(\d+):(\d+)"/.exec(read(`tsld${nnn(k + 1)}.ram`));
        const image = /id="cm-slide"[\s\S]*?\ssrc="([^"]*)"/.exec(read(file));
        return { file, start: seconds(0, ram[1], ram[2], ram[3]), image: image[1] };
    });
    const spoken = [];
    if (fs.existsSync(path.join(dir, 'captions.vtt'))) {
        const cue = /(\d+):(\d+):(\d+)\.(\d+) --> (\d+):(\d+):(\d+)\.(\d+)\r?\n([^\r\n]*)/g;
        for (const m of read('captions.vtt').matchAll(cue))
            spoken.push({ start: seconds(0, m[1], m[2], m[3]) + m[4] / 1000,
                end: seconds(0, m[5], m[6], m[7]) + m[8] / 1000, text: m[9] });
    }
    const table = tableOf(fs.readFileSync(path.join(dir, pages[0]), 'utf8'));
    return { folder, cues, slides, spoken, table, pages: [...pages, 'index.htm', 'preload.htm'] };
}

async function launch(device = {}) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'cuemark-chromium-'));
    const context = await chromium.launchPersistentContext(profile, {
        ...device,
        executablePath: CHROMIUM,
        headless: true,
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    return {
        context,
        async close() {
            await context.close();
            fs.rmSync(profile, { recursive: true, force: true });
        },
    };
}

// A page with its script errors collected, so a failing script fails the test; a slide
// page once the player has said what it can do, the index once its table is done.
async function openPage(browser, url) {
    const page = await browser.context.newPage();
    page.errors = [];
    page.on('pageerror', (e) => page.errors.push(e.message));
    if (process.env.CUE_DEBUG) page.on('console', (m) => console.log('console:', m.text()));
    await page.goto(url);
    await page.waitForFunction(() => document.body.dataset.cmState || document.querySelector('table th'));
    return page;
}

const state = (page) => page.evaluate(() => ({
    state: document.body.dataset.cmState,
    status: document.getElementById('cm-status').textContent,
    address: location.pathname,
    hash: location.hash,
    image: document.getElementById('cm-slide').getAttribute('src'),
    alt: document.getElementById('cm-slide').alt,
    time: document.getElementById('cm-audio').currentTime,
    paused: document.getElementById('cm-audio').paused,
    source: document.getElementById('cm-audio').currentSrc,
}));

// Playing, with the start the player chose already applied.
async function playing(page) {
    await page.waitForFunction(() => document.body.dataset.cmState === 'playing' &&
        !document.getElementById('cm-audio').paused);
}

// Moves the audio while it is paused, as the player's own controls would.
async function seekTo(page, to) {
    await page.evaluate((t) => {
        const audio = document.getElementById('cm-audio');
        audio.pause();
        audio.currentTime = t;
    }, to);
    await page.waitForFunction((t) => {
        const audio = document.getElementById('cm-audio');
        return !audio.seeking && Math.abs(audio.currentTime - t) < 0.01;
    }, to);
}

// The slide shown: the page's address and its image, as a freshly loaded page has them.
async function waitForSlide(page, slide) {
    await page.waitForFunction(
        ([file, image]) => location.pathname.endsWith('/' + file) &&
            document.getElementById('cm-slide').getAttribute('src') === image,
        [slide.file, slide.image]);
}

// axe-core's findings on the page as it stands, by rule and element.
async function accessibilityViolations(page) {
    await page.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
    const found = await page.evaluate(() => window.axe.run());
    return found.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
}

// A copy of the demo presentation, changed by `edit`, served on its own; the slide images
// are not copied, as these tests look at the timing only. With `table: false` its pages
// carry no table, and the player reads the lecture's other files.
async function withChangedCopy(edit, run, { table = true } = {}) {
    const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'cuemark-copy-'));
    const folder = path.join(copy, 'talk');
    fs.cpSync(path.join(ROOT, DEMO), folder, { recursive: true });
    if (!table) stripTable(folder);
    edit(folder);
    const site = await serve(copy);
    try {
        await run(site.url + 'talk/');
    } finally {
        site.server.close();
        fs.rmSync(copy, { recursive: true, force: true });
    }
}

module.exports = {
    ROOT, DEMO, PNM, PICTURES, NOTE, serve, readPresentation, launch, openPage, state, playing, seekTo,
    waitForSlide, accessibilityViolations, withChangedCopy, deckNumber,
};
