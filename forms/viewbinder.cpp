#include "viewbinder.h"

#include "controls.h"
#include "window.h"

#include <algorithm>
#include <exception>

ViewBinder::ViewBinder(Window& window) : m_window(window) {
    for (Control* control : window.controls()) {
        if (auto* timer = controlAs<Timer>(*control))
            m_timers.push_back(timer);
    }
}

void ViewBinder::forward(const std::function<void()>& handler) {
    storePosition();
    try {
        if (handler)
            handler();
    } catch (const std::exception& e) {
        showFault(e.what());
    }
    sync();
}

void ViewBinder::sync() {
    m_syncing = true;
    try {
        refresh();
    } catch (...) {
        m_syncing = false;
        throw;
    }
    m_syncing = false;
    if (m_window.isClosed() && !m_closedReported) {
        m_closedReported = true;
        closed();
    }
}

void ViewBinder::click(Control& control) {
    forward([this, &control] { m_window.click(control); });
}

void ViewBinder::clickCell(Grid& grid, int row, int col) {
    forward([this, &grid, row, col] { m_window.clickCell(grid, row, col); });
}

void ViewBinder::moveCurrentCell(Grid& grid, int row, int col) {
    if (m_syncing || grid.Rows() < 2 || grid.Cols() < 1)
        return;
    grid.Row = std::clamp(row, 1, grid.Rows() - 1);
    grid.Col = std::clamp(col, 0, grid.Cols() - 1);
}

int ViewBinder::typedKey(TextField& field, int key) {
    int taken = key;
    forward([&] { taken = m_window.pressKey(field, key); });
    return taken;
}

void ViewBinder::edited(TextField& field, std::string text) {
    if (m_syncing)
        return;
    field.Text = std::move(text);
    if (m_window.focus() != &field)
        forward([this, &field] { m_window.setFocus(&field); });
}

void ViewBinder::entered(TextField& field) {
    if (!m_window.isClosed() && m_window.focus() != &field)
        forward([this, &field] { m_window.setFocus(&field); });
}

void ViewBinder::left(TextField& field) {
    // The check may already have run, as a command released the focus.
    if (!m_window.isClosed() && m_window.focus() == &field)
        forward([this] { m_window.releaseFocus(); });
}

void ViewBinder::tick(Timer& timer) {
    forward([this, &timer] { m_window.tick(timer); });
}

int ViewBinder::interval(const Timer& timer) const {
    const bool ticking = timer.Enabled && timer.Interval > 0 && timer.Tick && !m_window.isClosed();
    return ticking ? timer.Interval : 0;
}

bool ViewBinder::requestClose() {
    if (m_window.isClosed())
        return true;
    storePosition();
    bool closed = false;
    forward([this, &closed] { closed = m_window.requestClose(); });
    return closed;
}
