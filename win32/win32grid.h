#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

class Grid;
class ViewBinder;

// A window model's grid as a list view in report mode: the header row as the columns'
// captions, the other rows as items, the current cell drawn by the grid itself rather than
// the list's row selection. Clicks and key moves go to the binder.
class Win32Grid {
  public:
    // Gives the list its columns and rows.
    Win32Grid(Grid& grid, HWND list);

    // Shows the model's cells, its column widths (in twips, times scale) and its current
    // cell.
    void sync(int dpi, double scale);
    // The widths are set again at the next sync (after a DPI change).
    void forgetWidths();
    // A notification of the list.
    LRESULT notify(NMHDR* header, ViewBinder& binder);
    // A key pressed in the list: Enter clicks the current cell, left and right move the
    // current column. False when the list handles the key itself.
    bool keyDown(WPARAM key, ViewBinder& binder);

  private:
    LRESULT customDraw(NMLVCUSTOMDRAW& draw) const;

    Grid& m_grid;
    HWND m_list;
    std::vector<std::wstring> m_cells; // as last shown
    std::vector<int> m_widths;         // as last shown, in pixels
};
