#include "window.h"

#include <string>
#include <vector>

namespace {

// The menu items from the bar down to item; false when item is not in the menu.
bool menuPath(const std::vector<MenuItem*>& items, const MenuItem* item,
              std::vector<const MenuItem*>& path) {
    for (const MenuItem* candidate : items) {
        path.push_back(candidate);
        if (candidate == item || menuPath(candidate->items(), item, path))
            return true;
        path.pop_back();
    }
    return false;
}

} // namespace

Window::Window(std::string name) : m_name(std::move(name)) {}

void Window::load() {
    m_closed = false;
    m_loaded = true;
    Form_Load();
}

bool Window::Unload() {
    if (m_closed)
        return true;
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        return false;
    m_focus = nullptr;
    m_closed = true;
    m_loaded = false;
    return true;
}

void Window::setFocus(Control* control) {
    if (m_focus == control)
        return;
    Control* previous = m_focus;
    m_focus = control;
    if (previous) {
        visitControl(*previous, [](TextField& field) {
            if (field.LostFocus)
                field.LostFocus();
        });
    }
}

Control* Window::control(const std::string& name) const {
    for (Control* c : m_controls) {
        if (c->name() == name)
            return c;
    }
    return nullptr;
}

std::string Window::refusal(const Control& control) const {
    std::vector<const Control*> chain;
    if (auto* item = controlAs<MenuItem>(control)) {
        std::vector<const MenuItem*> path;
        if (menuPath(m_menuBar, item, path))
            chain.assign(path.begin(), path.end());
    }
    if (chain.empty())
        chain.push_back(&control);
    for (const Control* c : chain) {
        const std::string whose = c == &control ? "" : " (menu " + c->name() + ")";
        if (!c->Visible)
            return "hidden" + whose;
        if (!c->Enabled)
            return "disabled" + whose;
    }
    return {};
}

std::string Window::click(Control& control) {
    std::string why = refusal(control);
    if (!why.empty())
        return why;
    releaseFocus();
    std::function<void()> click;
    visitControl(control, Overloaded{[&](Button& c) { click = c.Click; },
                                     [&](MenuItem& c) { click = c.Click; },
                                     [&](Grid& c) { click = c.Click; }});
    if (click)
        click();
    return {};
}

std::string Window::clickCell(Grid& grid, int row, int col) {
    std::string why = refusal(grid);
    if (!why.empty())
        return why;
    releaseFocus();
    grid.Row = row;
    grid.Col = col;
    if (grid.Click)
        grid.Click();
    return {};
}

int Window::pressKey(TextField& field, int key) {
    if (key != '\t' && key != 0x19)
        setFocus(&field);
    if (field.KeyPress)
        field.KeyPress(key);
    return key;
}

std::string Window::type(TextField& field, const std::string& text) {
    std::string why = refusal(field);
    if (!why.empty())
        return why;
    setFocus(&field);
    field.Text.clear();
    for (char c : text) {
        const int key = pressKey(field, static_cast<unsigned char>(c));
        if (key != 0)
            field.Text.push_back(static_cast<char>(key));
    }
    return {};
}

std::string Window::leave(TextField& field) {
    std::string why = refusal(field);
    if (!why.empty())
        return why;
    // Leaving a field means having been in it: whatever had the focus loses it first.
    setFocus(&field);
    releaseFocus();
    return {};
}

bool Window::requestClose() {
    if (m_closed)
        return true;
    releaseFocus();
    return Unload();
}

bool Window::tick(Timer& timer) {
    if (!timer.Enabled || !timer.Tick)
        return false;
    timer.Tick();
    return true;
}

bool Window::tickTimers() {
    bool ticked = false;
    for (Control* control : m_controls) {
        if (m_closed)
            break;
        if (auto* timer = controlAs<Timer>(*control))
            ticked = tick(*timer) || ticked;
    }
    return ticked;
}
