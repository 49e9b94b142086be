#include "windowview.h"

bool openWindow(Window& window, WindowView& view) {
    window.load();
    if (window.isClosed())
        return false;
    view.showModel();
    return true;
}

void showModal(Window& window, WindowView* view) {
    if (!view) {
        window.load();
        if (!window.isClosed())
            window.Unload();
        return;
    }
    if (openWindow(window, *view))
        view->runModal();
}
