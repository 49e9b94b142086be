// Cuemark player: written into every page at build time, bundled from these modules; it
// needs nothing from elsewhere. Without it, or where it cannot play, the pages stay plain
// links.

import { improveIndex } from './indexpage.js';
import { preloadImages } from './preloadpage.js';
import { SlidePage } from './slidepage.js';

const kind = document.body && document.body.getAttribute('data-cm-page');
if (kind === 'slide') new SlidePage().start();
else if (kind === 'index') improveIndex();
else if (kind === 'preload') preloadImages();
