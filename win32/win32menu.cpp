#include "win32menu.h"

#include "win32parts.h"

#include "forms/accesskeys.h"
#include "forms/controls.h"
#include "forms/window.h"

#include <algorithm>

Win32Menu::Win32Menu(Window& window) : m_window(window) {}

Win32Menu::~Win32Menu() {
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
}

MenuItem* Win32Menu::itemOf(int id) const {
    const int index = id - FirstId;
    return index >= 0 && index < static_cast<int>(m_items.size())
               ? m_items[static_cast<size_t>(index)]
               : nullptr;
}

std::wstring Win32Menu::captionOf(const MenuItem& item) const {
    const auto key = m_keys.find(&item);
    std::string caption = AccessKeys::marked(item.Caption, key == m_keys.end() ? 0 : key->second);
    if (item.items().empty()) {
        if (const auto shortcut = AccessKeys::shortcutOf(item.name()))
            caption += "\t" + AccessKeys::shortcutText(*shortcut);
    }
    return Win32Parts::toScreen(caption);
}

bool Win32Menu::build() {
    std::string shape;
    std::vector<MenuItem*> items;
    for (Control* control : m_window.controls()) {
        if (auto* item = controlAs<MenuItem>(*control)) {
            items.push_back(item);
            shape += item->Visible ? '1' : '0';
        }
    }
    if (m_bar && shape == m_shape)
        return false;
    m_shape = shape;
    m_items = items;
    const auto idOf = [this](const MenuItem* item) {
        const auto at = std::find(m_items.begin(), m_items.end(), item);
        return static_cast<UINT>(FirstId + (at - m_items.begin()));
    };
    HMENU bar = ::CreateMenu();
    std::vector<ACCEL> accelerators;
    const auto fill = [&](HMENU into, const std::vector<MenuItem*>& items, auto& self) -> void {
        const std::vector<char> keys = AccessKeys::of(items);
        for (size_t i = 0; i < items.size(); ++i) {
            MenuItem* item = items[i];
            m_keys[item] = keys[i];
            if (!item->Visible)
                continue;
            const std::wstring caption = captionOf(*item);
            if (!item->items().empty()) {
                HMENU popup = ::CreatePopupMenu();
                self(popup, item->items(), self);
                ::AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                              caption.c_str());
                continue;
            }
            const UINT id = idOf(item);
            if (item->isSeparator()) {
                ::AppendMenuW(into, MF_SEPARATOR, id, nullptr);
                continue;
            }
            ::AppendMenuW(into, MF_STRING, id, caption.c_str());
            if (const auto shortcut = AccessKeys::shortcutOf(item->name())) {
                const WORD key = shortcut->functionKey > 0
                                     ? static_cast<WORD>(VK_F1 + shortcut->functionKey - 1)
                                     : static_cast<WORD>(shortcut->controlLetter);
                const BYTE flags = shortcut->functionKey > 0 ? FVIRTKEY : FVIRTKEY | FCONTROL;
                accelerators.push_back(ACCEL{flags, key, static_cast<WORD>(id)});
            }
        }
    };
    fill(bar, m_window.menuBar(), fill);
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
    m_accelerators =
        accelerators.empty()
            ? nullptr
            : ::CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size()));
    m_bar = bar;
    return true;
}

void Win32Menu::sync(HWND window) {
    if (m_window.menuBar().empty())
        return;
    HMENU old = m_bar;
    if (build()) {
        ::SetMenu(window, m_bar);
        if (old)
            ::DestroyMenu(old);
    }
    for (size_t i = 0; i < m_items.size(); ++i) {
        const MenuItem& item = *m_items[i];
        if (item.isSeparator() || !item.items().empty() || !item.Visible)
            continue;
        const UINT id = static_cast<UINT>(FirstId + i);
        ::EnableMenuItem(m_bar, id, MF_BYCOMMAND | (item.Enabled ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(m_bar, id, MF_BYCOMMAND | (item.Checked ? MF_CHECKED : MF_UNCHECKED));
        wchar_t shown[256] = {};
        ::GetMenuStringW(m_bar, id, shown, 255, MF_BYCOMMAND);
        const std::wstring caption = captionOf(item);
        if (caption != shown)
            ::ModifyMenuW(m_bar, id, MF_BYCOMMAND | MF_STRING, id, caption.c_str());
    }
    // The menus of the bar themselves.
    int position = 0;
    for (MenuItem* top : m_window.menuBar()) {
        if (!top->Visible)
            continue;
        ::EnableMenuItem(m_bar, static_cast<UINT>(position++),
                         MF_BYPOSITION | (top->Enabled ? MF_ENABLED : MF_GRAYED));
    }
    ::DrawMenuBar(window);
}
