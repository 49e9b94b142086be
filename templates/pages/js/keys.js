// Keys and swipes on a slide page.

// A horizontal move this long on a touch screen turns the slide.
const SWIPE = 50;

// actions: toggle(), step(delta), fullScreen(); each key works only once `ready()`.
export function listenToKeys(actions) {
    document.addEventListener('keydown', (e) => {
        if (e.defaultPrevented || e.altKey || e.ctrlKey || e.metaKey) return;
        const target = e.target || {};
        if (/^(INPUT|TEXTAREA|SELECT|AUDIO|VIDEO)$/.test(target.tagName) || target.isContentEditable) return;
        switch (e.key) {
        case 'ArrowLeft':
        case 'PageUp':
            actions.step(-1);
            break;
        case 'ArrowRight':
        case 'PageDown':
            actions.step(1);
            break;
        case 'p':
        case 'P':
        case ' ':
            if (e.key === ' ' && target.tagName === 'BUTTON') return;
            if (!actions.ready()) return;
            actions.toggle();
            break;
        case 'f':
        case 'F':
            if (!actions.ready() || !document.fullscreenEnabled) return;
            actions.fullScreen();
            break;
        default:
            return;
        }
        e.preventDefault();
    });
}

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
