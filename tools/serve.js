#!/usr/bin/env node
// Serves a folder on 127.0.0.1 with byte ranges, so a browser can seek in the lecture audio,
// with validators and 304 answers, so nothing unchanged comes down twice, and text gzipped.
//   node tools/serve.js FOLDER [--port N] [--no-ranges]
// Port 0 (the default) takes any free port; the address is printed. --no-ranges answers
// every request whole, as simple servers do, to show how the player copes with that.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const { Transform } = require('stream');

const TYPES = {
    '.htm': 'text/html', '.html': 'text/html', '.css': 'text/css',
    '.js': 'text/javascript', '.txt': 'text/plain', '.vtt': 'text/vtt',
    '.gif': 'image/gif', '.png': 'image/png', '.jpg': 'image/jpeg', '.jpeg': 'image/jpeg',
    '.svg': 'image/svg+xml', '.mp3': 'audio/mpeg', '.ogg': 'audio/ogg', '.oga': 'audio/ogg',
    '.wav': 'audio/wav', '.ram': 'audio/x-pn-realaudio', '.ra': 'audio/x-pn-realaudio',
};

// One range of a file of `size` bytes, or null when the header asks for none we can give.
// Several ranges are not given one by one: such a request gets the whole file (undefined).
function parseRange(header, size) {
    if (/^\s*bytes=.*,/.test(header)) return undefined;
    const m = /^bytes=(\d*)-(\d*)$/.exec(header.trim());
    if (!m || (m[1] === '' && m[2] === '')) return null;
    let start, end;
    if (m[1] === '') {
        start = Math.max(0, size - Number(m[2]));
        end = size - 1;
    } else {
        start = Number(m[1]);
        end = m[2] === '' ? size - 1 : Math.min(Number(m[2]), size - 1);
    }
    return start <= end && start < size ? { start, end } : null;
}

// Sends audio at most `rate` bytes a second: a slow link, for seeing how the player copes.
function throttle(rate) {
    return new Transform({
        transform(chunk, encoding, done) {
            setTimeout(() => done(null, chunk), (chunk.length / rate) * 1000);
        },
    });
}

// Text and attribute values of the listing: names are anything a file system allows.
function escapeHtml(text) {
    return text.replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`);
}

function listing(res, dir, urlPath) {
    const names = fs.readdirSync(dir, { withFileTypes: true })
        .map((d) => d.name + (d.isDirectory() ? '/' : '')).sort();
    const items = names.map((n) => {
        const href = './' + n.split('/').map(encodeURIComponent).join('/');
        return `<li><a href="${escapeHtml(href)}">${escapeHtml(n)}</a></li>`;
    }).join('\n');
    res.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    res.end(`<!DOCTYPE html><title>${escapeHtml(urlPath)}</title><ul>\n${items}\n</ul>\n`);
}

// A failed request ends with a status of its own; the server goes on with the next.
function fail(res, status) {
    if (res.headersSent) res.destroy();
    else res.writeHead(status, { 'Content-Type': 'text/plain' }).end(`${http.STATUS_CODES[status]}\n`);
}

// Within the folder once links are followed: a link inside that points out is not served.
function inside(root, file) {
    return file === root || file.startsWith(root + path.sep);
}

function handler(root, ranges, rate) {
    return (req, res) => {
        if (req.method !== 'GET' && req.method !== 'HEAD') {
            res.writeHead(405, { Allow: 'GET, HEAD' }).end();
            return;
        }
        let urlPath, rawPath;
        try {
            rawPath = new URL(req.url, 'http://127.0.0.1').pathname;
            urlPath = decodeURIComponent(rawPath);
        } catch {
            res.writeHead(400).end();
            return;
        }
        const file = path.join(root, urlPath);
        if (!inside(root, file)) {
            res.writeHead(403).end();
            return;
        }
        let stat;
        try {
            if (!inside(root, fs.realpathSync(file))) {
                res.writeHead(403).end();
                return;
            }
            stat = fs.statSync(file);
        } catch {
            res.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
            return;
        }
        if (stat.isDirectory()) {
            if (!urlPath.endsWith('/')) {
                // The path as the request spelled it, with one leading slash: never "//host".
                res.writeHead(301, { Location: rawPath.replace(/^\/+/, '/') + '/' }).end();
                return;
            }
            try {
                listing(res, file, urlPath);
            } catch {
                fail(res, 403);
            }
            return;
        }
        // Regular files only: opening a FIFO or a device would hold one of the few file
        // threads until a writer came, and every later request would wait behind it.
        if (!stat.isFile()) {
            res.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
            return;
        }
        // Opened before the status goes out, so an unreadable file is answered as such;
        // without blocking, and checked again, as the name may have been replaced since.
        fs.open(file, fs.constants.O_RDONLY | fs.constants.O_NONBLOCK, (error, fd) => {
            if (error) {
                fail(res, error.code === 'ENOENT' ? 404 : 403);
                return;
            }
            const opened = fs.fstatSync(fd);
            if (!opened.isFile()) {
                fs.close(fd, () => {});
                fail(res, 404);
                return;
            }
            send(req, res, fd, opened, TYPES[path.extname(file).toLowerCase()] || 'application/octet-stream',
                ranges, rate);
        });
    };
}

// Text is sent compressed to a browser that takes gzip; audio and images are compressed
// already.
const COMPRESSED = /^(text\/|application\/(json|javascript))/;

function acceptsGzip(header) {
    const m = /(?:^|,)\s*gzip\s*(?:;\s*q=([\d.]+))?\s*(?:,|$)/i.exec(header || '');
    return !!m && (m[1] === undefined || Number(m[1]) > 0);
}

// The file's validators: an entity tag of its size and time (one per encoding) and the
// time it was written, so a browser asks again with If-None-Match or If-Modified-Since
// and gets 304 while the file is unchanged.
function validators(stat, gzip) {
    const tag = `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}${gzip ? '-gz' : ''}"`;
    return { tag, modified: new Date(Math.floor(stat.mtimeMs / 1000) * 1000) };
}

function unchanged(req, { tag, modified }) {
    const match = req.headers['if-none-match'];
    if (match !== undefined)
        return match.trim() === '*' || match.split(',').some((t) => t.trim().replace(/^W\//, '') === tag);
    const since = Date.parse(req.headers['if-modified-since'] || '');
    return !isNaN(since) && modified.getTime() <= since;
}

// A range is answered only for the file as it is: If-Range names its tag or its time.
function rangeHolds(req, { tag, modified }) {
    const ifRange = req.headers['if-range'];
    if (ifRange === undefined) return true;
    if (ifRange.trim().startsWith('"')) return ifRange.trim() === tag;
    return Date.parse(ifRange) === modified.getTime();
}

function send(req, res, fd, stat, type, ranges, rate) {
    const done = () => fs.close(fd, () => {});
    const wantsRange = ranges && req.headers.range !== undefined;
    const gzip = COMPRESSED.test(type) && !wantsRange && acceptsGzip(req.headers['accept-encoding']);
    const valid = validators(stat, gzip);
    const headers = {
        'Content-Type': type,
        // Asked again every time, and answered 304 while unchanged: a page rewritten by
        // the post-processor shows at once.
        'Cache-Control': 'no-cache',
        ETag: valid.tag,
        'Last-Modified': valid.modified.toUTCString(),
    };
    if (COMPRESSED.test(type)) headers.Vary = 'Accept-Encoding';
    if (ranges) headers['Accept-Ranges'] = 'bytes';
    if (unchanged(req, valid)) {
        done();
        res.writeHead(304, headers).end();
        return;
    }
    let status = 200;
    let start = 0;
    let end = stat.size - 1;
    const range = wantsRange && rangeHolds(req, valid) ? parseRange(req.headers.range, stat.size) : undefined;
    if (range !== undefined) {
        if (!range) {
            done();
            res.writeHead(416, { 'Content-Range': `bytes */${stat.size}` }).end();
            return;
        }
        ({ start, end } = range);
        status = 206;
        headers['Content-Range'] = `bytes ${start}-${end}/${stat.size}`;
    }
    if (gzip) headers['Content-Encoding'] = 'gzip';
    else headers['Content-Length'] = String(Math.max(0, end - start + 1));
    res.writeHead(status, headers);
    if (req.method === 'HEAD' || stat.size === 0) {
        done();
        res.end();
        return;
    }
    const body = fs.createReadStream(null, { fd, start, end, highWaterMark: 16384 });
    body.on('error', () => res.destroy());
    if (gzip) body.pipe(zlib.createGzip()).pipe(res);
    else if (rate && type.startsWith('audio/')) body.pipe(throttle(rate)).pipe(res);
    else body.pipe(res);
}

// Starts serving `folder`; resolves to the server and its address.
function serve(folder, { port = 0, ranges = true, rate = 0 } = {}) {
    // Links are followed before a path is checked, so the folder's own path is too.
    const root = fs.realpathSync(path.resolve(folder));
    const server = http.createServer(handler(root, ranges, rate));
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', () => {
            resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
        });
    });
}

module.exports = { serve, parseRange, acceptsGzip };

if (require.main === module) {
    const args = process.argv.slice(2);
    const portAt = args.indexOf('--port');
    const port = portAt >= 0 ? Number(args.splice(portAt, 2)[1]) : 0;
    const noRanges = args.indexOf('--no-ranges');
    if (noRanges >= 0) args.splice(noRanges, 1);
    if (args.length !== 1 || !Number.isInteger(port) || !fs.existsSync(args[0])) {
        console.error('usage: node tools/serve.js FOLDER [--port N] [--no-ranges]');
        process.exit(2);
    }
    serve(args[0], { port, ranges: noRanges < 0 }).then(({ url }) => {
        console.log(`Serving ${path.resolve(args[0])} at ${url} (Ctrl+C ends)`);
    }, (e) => {
        console.error(`serve: ${e.message}`);
        process.exit(1);
    });
}
