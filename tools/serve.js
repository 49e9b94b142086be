#!/usr/bin/env node
// Serves a folder on 127.0.0.1 with byte ranges, so a browser can seek in the lecture audio.
//   node tools/serve.js FOLDER [--port N] [--no-ranges]
// Port 0 (the default) takes any free port; the address is printed. --no-ranges answers
// every request whole, as simple servers do, to show how the player copes with that.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
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
        const headers = {
            'Content-Type': TYPES[path.extname(file).toLowerCase()] || 'application/octet-stream',
            'Cache-Control': 'no-cache',
        };
        if (ranges) headers['Accept-Ranges'] = 'bytes';
        let status = 200;
        let start = 0;
        let end = stat.size - 1;
        const range = ranges && req.headers.range ? parseRange(req.headers.range, stat.size) : undefined;
        if (range !== undefined) {
            if (!range) {
                res.writeHead(416, { 'Content-Range': `bytes */${stat.size}` }).end();
                return;
            }
            ({ start, end } = range);
            status = 206;
            headers['Content-Range'] = `bytes ${start}-${end}/${stat.size}`;
        }
        headers['Content-Length'] = String(Math.max(0, end - start + 1));
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
            if (!fs.fstatSync(fd).isFile()) {
                fs.close(fd, () => {});
                fail(res, 404);
                return;
            }
            res.writeHead(status, headers);
            if (req.method === 'HEAD' || stat.size === 0) {
                fs.close(fd, () => {});
                res.end();
                return;
            }
            const body = fs.createReadStream(null, { fd, start, end, highWaterMark: 16384 });
            body.on('error', () => res.destroy());
            if (rate && headers['Content-Type'].startsWith('audio/')) body.pipe(throttle(rate)).pipe(res);
            else body.pipe(res);
        });
    };
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

module.exports = { serve, parseRange };

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
