#include "controls.h"

#include "window.h"

#include <stdexcept>

Control::Control(Window* owner, std::string name) : m_owner(owner), m_name(std::move(name)) {
    if (m_owner)
        m_owner->registerControl(this);
}

TextField::TextField(Window* owner, std::string name, std::string text)
    : Control(owner, std::move(name)), Text(std::move(text)) {}

Label::Label(Window* owner, std::string name, std::string caption)
    : Control(owner, std::move(name)), Caption(std::move(caption)) {}

Button::Button(Window* owner, std::string name, std::string caption)
    : Control(owner, std::move(name)), Caption(std::move(caption)) {}

MenuItem::MenuItem(Window* owner, std::string name, std::string caption, MenuItem* parent)
    : Control(owner, std::move(name)), Caption(std::move(caption)) {
    if (parent)
        parent->m_items.push_back(this);
    else if (owner)
        owner->addMenu(this);
}

Timer::Timer(Window* owner, std::string name, int interval, bool enabled)
    : Control(owner, std::move(name)), Interval(interval) {
    Enabled = enabled;
}

Grid::Grid(Window* owner, std::string name, int rows, int cols)
    : Control(owner, std::move(name)), ColWidth(cols, 0), ColAlignment(cols, Alignment::Default),
      m_rows(rows), m_cols(cols), m_cells(static_cast<size_t>(rows) * cols) {}

const std::string& Grid::TextMatrix(int row, int col) const {
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw std::out_of_range("grid cell out of range");
    return m_cells[static_cast<size_t>(row) * m_cols + col];
}

void Grid::setTextMatrix(int row, int col, std::string text) {
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw std::out_of_range("grid cell out of range");
    m_cells[static_cast<size_t>(row) * m_cols + col] = std::move(text);
}
