// The demo server: byte ranges as browsers ask for them when they seek, and nothing
// outside the served folder.
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const { spawn, execFileSync } = require('node:child_process');
const os = require('node:os');
const zlib = require('node:zlib');
const path = require('node:path');
const { serve } = require('../../tools/serve.js');

let folder, site, plain;
const bytes = Buffer.from(Array.from({ length: 100 }, (_, i) => i));
const page = '<!DOCTYPE html><title>x</title>' + 'The same line again.\n'.repeat(200);

before(async () => {
    folder = fs.mkdtempSync(path.join(os.tmpdir(), 'cuemark-serve-'));
    fs.mkdirSync(path.join(folder, 'talk'));
    fs.writeFileSync(path.join(folder, 'talk', 'lecture.mp3'), bytes);
    fs.writeFileSync(path.join(folder, 'talk', 'empty.rae'), '');
    fs.writeFileSync(path.join(os.tmpdir(), 'cuemark-serve-outside.txt'), 'secret');
    fs.symlinkSync(path.join(os.tmpdir(), 'cuemark-serve-outside.txt'), path.join(folder, 'talk', 'out.txt'));
    fs.symlinkSync('lecture.mp3', path.join(folder, 'talk', 'in.mp3'));
    fs.mkdirSync(path.join(folder, '<i x="1">'));
    fs.writeFileSync(path.join(folder, '<i x="1">', '<img src=x onerror=\'alert(1)\'>.htm'), '');
    fs.mkdirSync(path.join(folder, 'closed'), { mode: 0 });
    fs.writeFileSync(path.join(folder, 'talk', 'closed.mp3'), bytes, { mode: 0 });
    execFileSync('mkfifo', [path.join(folder, 'talk', 'fifo.mp3')]);
    fs.writeFileSync(path.join(folder, 'talk', 'index.htm'), page);
    fs.chmodSync(folder, 0o755);
    site = await serve(folder);
    plain = await serve(folder, { ranges: false });
});

after(() => {
    site.server.close();
    plain.server.close();
    fs.rmSync(folder, { recursive: true, force: true });
});

// A request that hangs fails the test instead of stalling it.
function get(base, target, headers = {}) {
    const url = new URL(base);
    return new Promise((resolve, reject) => {
        const req = http.get({ host: url.hostname, port: url.port, path: target, headers }, (res) => {
            const chunks = [];
            res.on('data', (c) => chunks.push(c));
            res.on('end', () => resolve({ status: res.statusCode, headers: res.headers,
                body: Buffer.concat(chunks) }));
        }).on('error', reject);
        req.setTimeout(3000, () => {
            req.destroy();
            reject(new Error(`${target}: no answer within 3 s`));
        });
    });
}

test('byte ranges answer with the bytes asked for', async () => {
    const cases = [
        // [Range header, status, Content-Range, first byte, length]
        [undefined, 200, undefined, 0, 100],
        ['bytes=0-', 206, 'bytes 0-99/100', 0, 100],
        ['bytes=10-19', 206, 'bytes 10-19/100', 10, 10],
        ['bytes=90-500', 206, 'bytes 90-99/100', 90, 10],
        ['bytes=-5', 206, 'bytes 95-99/100', 95, 5],
        ['bytes=-500', 206, 'bytes 0-99/100', 0, 100],
        ['bytes=100-', 416, 'bytes */100', null, 0],
        ['bytes=20-10', 416, 'bytes */100', null, 0],
        ['bytes=-', 416, 'bytes */100', null, 0],
        ['items=0-1', 416, 'bytes */100', null, 0],
        ['bytes=0-1,5-6', 200, undefined, 0, 100],
    ];
    for (const [range, status, contentRange, first, length] of cases) {
        const res = await get(site.url, '/talk/lecture.mp3', range ? { Range: range } : {});
        assert.equal(res.status, status, range);
        assert.equal(res.headers['content-range'], contentRange, range);
        assert.equal(res.body.length, length, range);
        if (first !== null) assert.equal(res.body[0], first, range);
    }
    const whole = await get(site.url, '/talk/lecture.mp3');
    assert.equal(whole.headers['accept-ranges'], 'bytes');
    assert.equal(whole.headers['content-type'], 'audio/mpeg');
});

test('without ranges every request gets the whole file', async () => {
    const res = await get(plain.url, '/talk/lecture.mp3', { Range: 'bytes=10-19' });
    assert.equal(res.status, 200);
    assert.equal(res.headers['accept-ranges'], undefined);
    assert.deepEqual(res.body, bytes);
});

test('only files of the served folder are given out', async () => {
    const cases = [
        // Dot segments are resolved by the URL itself; encoded slashes only after decoding.
        ['/../cuemark-serve-outside.txt', 404],
        ['/talk/%2e%2e/%2e%2e/cuemark-serve-outside.txt', 404],
        ['/talk/..%2F..%2Fcuemark-serve-outside.txt', 403],
        ['/talk/..%5C..%5Ccuemark-serve-outside.txt', 404],
        ['/talk/nothing.htm', 404],
        ['/talk', 301],
        ['/talk/', 200],
        ['/talk/empty.rae', 200],
        ['/%zz', 400],
    ];
    for (const [target, status] of cases) {
        const res = await get(site.url, target);
        assert.equal(res.status, status, target);
        assert.ok(!res.body.includes('secret'), target);
    }
});

test('unchanged files are answered 304, text is gzipped, and a range holds only for the same file', async () => {
    const first = await get(site.url, '/talk/lecture.mp3');
    const { etag, 'last-modified': modified } = first.headers;
    assert.match(etag, /^"[0-9a-f]+-[0-9a-f]+"$/);
    const zipped = (await get(site.url, '/talk/index.htm', { 'Accept-Encoding': 'gzip' })).headers.etag;
    const later = new Date(Date.parse(modified) + 1000).toUTCString();
    const earlier = new Date(Date.parse(modified) - 1000).toUTCString();
    const cases = [
        // [path, request headers, status, Content-Encoding, body length (gunzipped)]
        ['/talk/lecture.mp3', { 'If-None-Match': etag }, 304, undefined, 0],
        ['/talk/lecture.mp3', { 'If-None-Match': `"x", W/${etag}` }, 304, undefined, 0],
        ['/talk/lecture.mp3', { 'If-None-Match': '*' }, 304, undefined, 0],
        ['/talk/lecture.mp3', { 'If-None-Match': '"other"' }, 200, undefined, 100],
        ['/talk/lecture.mp3', { 'If-None-Match': '"other"', 'If-Modified-Since': later }, 200, undefined, 100],
        ['/talk/lecture.mp3', { 'If-Modified-Since': modified }, 304, undefined, 0],
        ['/talk/lecture.mp3', { 'If-Modified-Since': later }, 304, undefined, 0],
        ['/talk/lecture.mp3', { 'If-Modified-Since': earlier }, 200, undefined, 100],
        ['/talk/lecture.mp3', { 'If-Modified-Since': 'yesterday' }, 200, undefined, 100],
        ['/talk/lecture.mp3', { Range: 'bytes=10-19', 'If-Range': etag }, 206, undefined, 10],
        ['/talk/lecture.mp3', { Range: 'bytes=10-19', 'If-Range': modified }, 206, undefined, 10],
        ['/talk/lecture.mp3', { Range: 'bytes=10-19', 'If-Range': '"old"' }, 200, undefined, 100],
        ['/talk/lecture.mp3', { 'Accept-Encoding': 'gzip' }, 200, undefined, 100],
        ['/talk/index.htm', { 'Accept-Encoding': 'gzip, deflate' }, 200, 'gzip', page.length],
        ['/talk/index.htm', { 'Accept-Encoding': 'gzip;q=0' }, 200, undefined, page.length],
        ['/talk/index.htm', {}, 200, undefined, page.length],
        ['/talk/index.htm', { 'Accept-Encoding': 'gzip', 'If-None-Match': zipped }, 304, undefined, 0],
        ['/talk/index.htm', { 'If-None-Match': zipped }, 200, undefined, page.length],
        ['/talk/index.htm', { 'Accept-Encoding': 'gzip', Range: 'bytes=0-9' }, 206, undefined, 10],
    ];
    for (const [target, headers, status, encoding, length] of cases) {
        const res = await get(site.url, target, headers);
        const what = `${target} ${JSON.stringify(headers)}`;
        assert.equal(res.status, status, what);
        assert.equal(res.headers['content-encoding'], encoding, what);
        const body = encoding ? zlib.gunzipSync(res.body) : res.body;
        assert.equal(body.length, length, what);
        if (target.endsWith('.htm') && length === page.length) assert.equal(body.toString(), page, what);
        if (status !== 206) assert.ok(res.headers.etag && res.headers['last-modified'], what);
    }
    assert.equal((await get(site.url, '/talk/index.htm')).headers.vary, 'Accept-Encoding');
});

// More requests than node has file threads: a FIFO opened for reading would hold one each.
test('a FIFO is not served, and the files after it still are', async () => {
    const cases = [...Array(6).fill(['/talk/fifo.mp3', 404]), ['/talk/lecture.mp3', 200], ['/talk/', 200]];
    for (const [target, status] of cases) assert.equal((await get(site.url, target)).status, status, target);
});

test('the server listens on the loopback address only', () => {
    assert.equal(site.server.address().address, '127.0.0.1');
});

test('hostile requests get a status of their own and the server goes on', async () => {
    const cases = [
        // [request, status, Location, what the body must not hold]
        ['/talk/out.txt', 403],
        ['/talk/in.mp3', 200],
        ['/%2Fevil.example%2F..', 301, '/%2Fevil.example%2F../'],
        ['//evil.example/talk', 301, '/talk/'],
        ['/%3Ci%20x=%221%22%3E/', 200, undefined, /<i |<img|onerror='/],
    ];
    for (const [target, status, location, markup, headers] of cases) {
        const res = await get(site.url, target, headers);
        assert.equal(res.status, status, target);
        if (location !== undefined) assert.equal(res.headers.location, location, target);
        if (markup) assert.doesNotMatch(res.body.toString(), markup, target);
        assert.ok(!res.body.includes('secret'), target);
    }
    assert.equal((await get(site.url, '/talk/lecture.mp3')).status, 200);
});

// Root reads every file, so the server runs as nobody to meet files it cannot read.
test('an unreadable file or folder gets an error status and the server goes on', async () => {
    const asNobody = process.getuid() === 0 ? { uid: 65534, gid: 65534 } : {};
    const child = spawn(process.execPath, [path.join(__dirname, '../../tools/serve.js'), folder],
        { ...asNobody, stdio: ['ignore', 'pipe', 'inherit'] });
    try {
        const url = await new Promise((resolve, reject) => {
            child.stdout.on('data', (d) => {
                const m = /at (http:\S+)/.exec(String(d));
                if (m) resolve(m[1]);
            });
            child.on('exit', (code) => reject(new Error(`serve ended with ${code}`)));
        });
        for (const [target, status] of [['/talk/closed.mp3', 403], ['/closed/', 403],
            ['/talk/closed.mp3', 403], ['/talk/lecture.mp3', 200]])
            assert.equal((await get(url, target)).status, status, target);
    } finally {
        child.kill();
    }
});
