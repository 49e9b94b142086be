// Small helpers of every page.

export const byId = (id) => document.getElementById(id);

export function element(tag, className, text) {
    const el = document.createElement(tag);
    if (className) el.className = className;
    if (text) el.textContent = text;
    return el;
}

export function say(el, text) {
    if (el) el.textContent = text;
}

// Opened over http(s): from file:// a browser fetches nothing beside the page.
export const served = () => /^https?:$/.test(location.protocol);

// Read in the character set the pages declare, as the browser reads the page itself.
export async function fetchText(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${response.status} ${url}`);
    return new TextDecoder(document.characterSet || 'utf-8').decode(await response.arrayBuffer());
}

// Speed, captions and the last position, kept per presentation folder in this browser.
export const store = {
    key: 'cuemark:' + location.pathname.replace(/[^/]*$/, '') + ':',
    get(name) {
        try {
            return JSON.parse(localStorage.getItem(this.key + name));
        } catch (e) {
            return null;
        }
    },
    set(name, value) {
        try {
            localStorage.setItem(this.key + name, JSON.stringify(value));
        } catch (e) {
            // A browser that keeps nothing plays all the same.
        }
    },
};
