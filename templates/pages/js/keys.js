// Keys as viewers know them from video sites, the list "?" shows, and swipes.

// Every key the player answers to: the list the "?" dialog shows is made from this.
export const KEYS = [
    { keys: ['Space', 'K', 'P'], match: [' ', 'k', 'K', 'p', 'P'], action: 'toggle', what: 'Play or pause' },
    { keys: ['J'], match: ['j', 'J'], action: 'back', what: 'Back 10 seconds' },
    { keys: ['L'], match: ['l', 'L'], action: 'forward', what: 'Forward 10 seconds' },
    { keys: ['Left arrow', 'Page Up'], match: ['ArrowLeft', 'PageUp'], action: 'previous', what: 'Previous slide' },
    { keys: ['Right arrow', 'Page Down'], match: ['ArrowRight', 'PageDown'], action: 'next', what: 'Next slide' },
    { keys: ['F'], match: ['f', 'F'], action: 'fullScreen', what: 'Full screen, or back' },
    { keys: ['M'], match: ['m', 'M'], action: 'mute', what: 'Sound off or on' },
    { keys: ['C'], match: ['c', 'C'], action: 'captions', what: 'Captions on or off' },
    { keys: ['?'], match: ['?'], action: 'keys', what: 'This list of keys' },
];
const KEYS_NOTE = 'The keys do nothing while a text field has the focus, so that typing stays typing. ' +
    'Escape closes this list.';

// Fields that take typed letters: a shortcut there would eat the typing.
const TYPED = /^(text|search|email|url|tel|password|number|date|datetime-local|month|time|week)$/i;
// Keys a position bar or a list box moves by itself.
const MOVING = /^(ArrowLeft|ArrowRight|ArrowUp|ArrowDown|PageUp|PageDown|Home|End)$/;

// What a key press asks of the player, or null: none where the focus takes typing, none
// with Ctrl, Alt or Meta (the browser's own), the focus's own keys left to it.
export function keyAction(key, modifiers, target) {
    if (modifiers) return null;
    const tag = (target.tagName || '').toUpperCase();
    if (target.isContentEditable || tag === 'TEXTAREA' || tag === 'SELECT' || tag === 'AUDIO' || tag === 'VIDEO')
        return null;
    if (tag === 'INPUT' && (TYPED.test(target.type || 'text') || MOVING.test(key))) return null;
    if (key === ' ' && (tag === 'BUTTON' || tag === 'SUMMARY' || tag === 'INPUT')) return null;
    const entry = KEYS.find((k) => k.match.includes(key));
    return entry ? entry.action : null;
}

// actions: one function per action of KEYS; `ready()` says whether the lecture plays.
// Only turning the slide works before it does (the pages' own links).
export function listenToKeys(actions) {
    document.addEventListener('keydown', (e) => {
        if (e.defaultPrevented || document.querySelector('dialog[open]')) return;
        const action = keyAction(e.key, e.altKey || e.ctrlKey || e.metaKey, e.target || {});
        if (!action || (!actions.ready() && action !== 'previous' && action !== 'next' && action !== 'keys')) return;
        if (actions[action]() === false) return;
        e.preventDefault();
    });
}

// The list of keys, made once and shown as a modal dialog; `opener` gets the focus back.
export function keyList(dialog) {
    if (!dialog.firstChild) {
        const add = (parent, tag, text) => parent.appendChild(Object.assign(document.createElement(tag), { textContent: text || '' }));
        const title = add(dialog, 'h2', 'Keys');
        title.id = 'cm-keylist-title';
        dialog.setAttribute('aria-labelledby', title.id);
        const table = add(dialog, 'table');
        const head = add(add(table, 'thead'), 'tr');
        for (const h of ['Key', 'What it does']) add(head, 'th', h).scope = 'col';
        const body = add(table, 'tbody');
        for (const k of KEYS) {
            const row = add(body, 'tr');
            const keys = add(row, 'td');
            k.keys.forEach((name, i) => {
                if (i) keys.appendChild(document.createTextNode(' or '));
                add(keys, 'kbd', name);
            });
            add(row, 'td', k.what);
        }
        add(dialog, 'p', KEYS_NOTE);
        const form = add(dialog, 'form');
        form.method = 'dialog';
        add(form, 'button', 'Close').className = 'cm-button';
    }
    if (dialog.open) dialog.close();
    else dialog.showModal();
}

// A horizontal move this long on a touch screen turns the slide.
const SWIPE = 50;

// A swipe across the slide on a touch screen goes to the next or previous slide.
export function listenToSwipes(image, step) {
    let from = null;
    image.addEventListener('pointerdown', (e) => {
        from = e.pointerType === 'touch' ? { x: e.clientX, y: e.clientY } : null;
    });
    image.addEventListener('pointercancel', () => {
        from = null;
    });
    image.addEventListener('pointerup', (e) => {
        if (!from) return;
        const dx = e.clientX - from.x, dy = e.clientY - from.y;
        from = null;
        if (Math.abs(dx) >= SWIPE && Math.abs(dx) > 2 * Math.abs(dy)) step(dx < 0 ? 1 : -1);
    });
}
