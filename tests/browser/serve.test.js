// The demo server: byte ranges as browsers ask for them when they seek, and nothing
// outside the served folder.
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { serve } = require('../../tools/serve.js');

let folder, site, plain;
const bytes = Buffer.from(Array.from({ length: 100 }, (_, i) => i));

before(async () => {
    folder = fs.mkdtempSync(path.join(os.tmpdir(), 'cuemark-serve-'));
    fs.mkdirSync(path.join(folder, 'talk'));
    fs.writeFileSync(path.join(folder, 'talk', 'lecture.mp3'), bytes);
    fs.writeFileSync(path.join(folder, 'talk', 'empty.rae'), '');
    fs.writeFileSync(path.join(os.tmpdir(), 'cuemark-serve-outside.txt'), 'secret');
    site = await serve(folder);
    plain = await serve(folder, { ranges: false });
});

after(() => {
    site.server.close();
    plain.server.close();
    fs.rmSync(folder, { recursive: true, force: true });
});

function get(base, target, headers = {}) {
    const url = new URL(base);
    return new Promise((resolve, reject) => {
        http.get({ host: url.hostname, port: url.port, path: target, headers }, (res) => {
            const chunks = [];
            res.on('data', (c) => chunks.push(c));
            res.on('end', () => resolve({ status: res.statusCode, headers: res.headers,
                body: Buffer.concat(chunks) }));
        }).on('error', reject);
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

test('the server listens on the loopback address only', () => {
    assert.equal(site.server.address().address, '127.0.0.1');
});
