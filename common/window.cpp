#include "window.h"

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
    if (auto* field = dynamic_cast<TextField*>(previous); field && field->LostFocus)
        field->LostFocus();
}

Control* Window::control(const std::string& name) const {
    for (Control* c : m_controls) {
        if (c->name() == name)
            return c;
    }
    return nullptr;
}
