#pragma once

#include <functional>
#include <string>
#include <vector>

class Window;

// The controls of a window model are plain members: a handler reads and writes their
// state directly, and a view (Qt or the script runner) shows it and forwards events.
// Texts are 8-bit strings exactly as files and the operator gave them.
class Control {
  public:
    Control(Window* owner, std::string name);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    Window* owner() const { return m_owner; }

    bool Visible = true;
    bool Enabled = true;
    std::string WhatsThis; // the control's help topic in What's This mode

  private:
    Window* m_owner;
    std::string m_name;
};

class TextField : public Control {
  public:
    TextField(Window* owner, std::string name, std::string text = {});
    std::string Text;
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void()> LostFocus;
};

class Label : public Control {
  public:
    Label(Window* owner, std::string name, std::string caption = {});
    std::string Caption;
};

class Button : public Control {
  public:
    Button(Window* owner, std::string name, std::string caption = {});
    std::string Caption;
    std::function<void()> Click;
};

// A menu item; a caption of "-" makes a separator line. Items without a parent form
// the window's menu bar, the others are appended to their parent's list.
class MenuItem : public Control {
  public:
    MenuItem(Window* owner, std::string name, std::string caption, MenuItem* parent = nullptr);
    std::string Caption;
    bool Checked = false;
    std::function<void()> Click;

    bool isSeparator() const { return Caption == "-"; }
    const std::vector<MenuItem*>& items() const { return m_items; }

  private:
    std::vector<MenuItem*> m_items;
};

// Ticks arrive only while Enabled; Interval is in milliseconds.
class Timer : public Control {
  public:
    Timer(Window* owner, std::string name, int interval = 0, bool enabled = false);
    int Interval = 0;
    std::function<void()> Tick;
};

enum class Alignment { Default, Left };

// A grid of text cells with one fixed header row. Row and Col select the current cell;
// a click makes the clicked cell current before Click runs.
class Grid : public Control {
  public:
    Grid(Window* owner, std::string name, int rows, int cols);

    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    int Row = 1;
    int Col = 1;

    const std::string& TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, std::string text);
    const std::string& Text() const { return TextMatrix(Row, Col); }
    void setText(std::string text) { setTextMatrix(Row, Col, std::move(text)); }

    std::vector<int> ColWidth; // twips
    std::vector<Alignment> ColAlignment;
    std::function<void()> Click;

  private:
    int m_rows;
    int m_cols;
    std::vector<std::string> m_cells;
};

// The common dialog object of a window: its file dialog and its help viewer. The last
// chosen FileName stays in it and is where the next use starts.
struct CommonDialog {
    std::string DialogTitle;
    std::string Filter; // "description|pattern" pairs separated by "|"
    int FilterIndex = 1;
    bool CancelError = false;
    std::string FileName;
    std::string HelpFile;
    int HelpCommand = 0;
};

inline constexpr int cdlHelpContents = 3;
