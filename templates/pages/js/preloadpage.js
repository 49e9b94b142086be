// The preload page: fetches the slide images into the cache while the listener reads it.

import { byId, say } from './dom.js';
import { parsePreload } from './files.js';

export function preloadImages() {
    const data = byId('cm-preload'), status = byId('cm-status');
    if (!data) return;
    const urls = [];
    let unreadable = 0;
    for (const image of parsePreload(data.textContent).images) {
        let url;
        try {
            url = new URL(image, location.href);
        } catch (e) {
            // An address no browser can read is left out; the others load all the same.
            unreadable += 1;
            continue;
        }
        // Only images of this site: a configured address elsewhere is not fetched.
        if (url.origin === location.origin && !urls.includes(url.href)) urls.push(url.href);
    }
    let done = 0;
    const skipped = unreadable === 1 ? ' Skipped 1 image address that cannot be read.' :
        unreadable ? ` Skipped ${unreadable} image addresses that cannot be read.` : '';
    const report = () => say(status, (done < urls.length ? `Loading slide images: ${done} of ${urls.length}.` :
        'Slide images loaded.') + skipped);
    report();
    for (const url of urls) {
        const image = new Image();
        image.onload = image.onerror = () => {
            done += 1;
            report();
        };
        image.src = url;
    }
}
