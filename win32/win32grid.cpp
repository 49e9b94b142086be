#include "win32grid.h"

#include "win32parts.h"

#include "forms/controls.h"
#include "forms/viewbinder.h"

namespace {

constexpr COLORREF CurrentRowColour = RGB(0xDD, 0xE8, 0xF6);

} // namespace

Win32Grid::Win32Grid(Grid& grid, HWND list) : m_grid(grid), m_list(list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES |
                                                LVS_EX_DOUBLEBUFFER);
    for (int c = 0; c < grid.Cols(); ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 40;
        column.pszText = const_cast<wchar_t*>(L"");
        ListView_InsertColumn(list, c, &column);
    }
    for (int r = 1; r < grid.Rows(); ++r) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = r - 1;
        item.pszText = const_cast<wchar_t*>(L"");
        ListView_InsertItem(list, &item);
    }
    m_cells.assign(static_cast<size_t>(grid.Rows() * grid.Cols()), {});
    m_widths.assign(static_cast<size_t>(grid.Cols()), -1);
}

void Win32Grid::forgetWidths() {
    std::fill(m_widths.begin(), m_widths.end(), -1);
}

void Win32Grid::sync(int dpi, double scale) {
    for (int c = 0; c < m_grid.Cols(); ++c) {
        const std::wstring header = Win32Parts::toScreen(m_grid.TextMatrix(0, c));
        std::wstring& shownHeader = m_cells[static_cast<size_t>(c)];
        if (shownHeader != header) {
            shownHeader = header;
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = shownHeader.data();
            ListView_SetColumn(m_list, c, &column);
        }
        const int twips = c < static_cast<int>(m_grid.ColWidth.size()) ? m_grid.ColWidth[c] : 0;
        const int width = static_cast<int>(Win32Parts::toPixels(twips, dpi) * scale);
        if (twips > 0 && m_widths[static_cast<size_t>(c)] != width) {
            m_widths[static_cast<size_t>(c)] = width;
            ListView_SetColumnWidth(m_list, c, width);
        }
    }
    for (int r = 1; r < m_grid.Rows(); ++r) {
        for (int c = 0; c < m_grid.Cols(); ++c) {
            std::wstring& shown = m_cells[static_cast<size_t>(r * m_grid.Cols() + c)];
            const std::wstring text = Win32Parts::toScreen(m_grid.TextMatrix(r, c));
            if (shown == text)
                continue;
            shown = text;
            ListView_SetItemText(m_list, r - 1, c, shown.data());
        }
    }
    const int row = m_grid.Row - 1;
    if (row >= 0 && row < m_grid.Rows() - 1 &&
        ListView_GetNextItem(m_list, -1, LVNI_FOCUSED) != row) {
        ListView_SetItemState(m_list, row, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
        ListView_EnsureVisible(m_list, row, FALSE);
    }
    ::InvalidateRect(m_list, nullptr, FALSE);
}

LRESULT Win32Grid::notify(NMHDR* header, ViewBinder& binder) {
    switch (header->code) {
    case NM_CLICK: {
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction;
        if (ListView_SubItemHitTest(m_list, &hit) >= 0 && hit.iItem >= 0)
            binder.clickCell(m_grid, hit.iItem + 1, hit.iSubItem);
        return 0;
    }
    case LVN_ITEMCHANGED: {
        // Moving with the keys makes a cell current; only a click or Enter runs the handler.
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (change->iItem >= 0 && (change->uNewState & LVIS_FOCUSED) &&
            !(change->uOldState & LVIS_FOCUSED))
            binder.moveCurrentCell(m_grid, change->iItem + 1, m_grid.Col);
        return 0;
    }
    case NM_CUSTOMDRAW:
        return customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    default:
        return 0;
    }
}

LRESULT Win32Grid::customDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // The current cell is drawn here, not the list's own row selection.
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int row = static_cast<int>(draw.nmcd.dwItemSpec) + 1;
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        if (row == m_grid.Row && draw.iSubItem == m_grid.Col) {
            draw.clrText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
            draw.clrTextBk = ::GetSysColor(COLOR_HIGHLIGHT);
        } else if (row == m_grid.Row) {
            draw.clrText = ::GetSysColor(COLOR_WINDOWTEXT);
            draw.clrTextBk = CurrentRowColour;
        } else {
            draw.clrText = ::GetSysColor(COLOR_WINDOWTEXT);
            draw.clrTextBk = ::GetSysColor(COLOR_WINDOW);
        }
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

bool Win32Grid::keyDown(WPARAM key, ViewBinder& binder) {
    if (key == VK_RETURN) {
        binder.click(m_grid);
        return true;
    }
    if (key == VK_LEFT || key == VK_RIGHT) {
        binder.moveCurrentCell(m_grid, m_grid.Row, m_grid.Col + (key == VK_LEFT ? -1 : 1));
        ::InvalidateRect(m_list, nullptr, FALSE);
        return true;
    }
    return false;
}
