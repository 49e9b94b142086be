#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class Window;
class TextField;
class Label;
class Button;
class MenuItem;
class Timer;
class Grid;

// The one place that tells the kinds of control apart. A new kind adds its visit here,
// and every visitor (the script dumper, the Qt binder) must then say how to show it.
class ControlVisitor {
  public:
    virtual ~ControlVisitor() = default;
    virtual void visit(TextField& control) = 0;
    virtual void visit(Label& control) = 0;
    virtual void visit(Button& control) = 0;
    virtual void visit(MenuItem& control) = 0;
    virtual void visit(Timer& control) = 0;
    virtual void visit(Grid& control) = 0;
};

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
    virtual void accept(ControlVisitor& visitor) = 0;

    bool Visible = true;
    bool Enabled = true;
    std::string WhatsThis; // the control's help topic in What's This mode

  private:
    Window* m_owner;
    std::string m_name;
};

class TextField : public Control {
  public:
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    TextField(Window* owner, std::string name, std::string text = {});
    std::string Text;
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void()> LostFocus;
};

class Label : public Control {
  public:
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    Label(Window* owner, std::string name, std::string caption = {});
    std::string Caption;
};

class Button : public Control {
  public:
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    Button(Window* owner, std::string name, std::string caption = {});
    std::string Caption;
    // Enter presses it, wherever the focus is in its window.
    bool Default = false;
    std::function<void()> Click;
};

// A menu item; a caption of "-" makes a separator line. Items without a parent form
// the window's menu bar, the others are appended to their parent's list.
class MenuItem : public Control {
  public:
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
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
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    Timer(Window* owner, std::string name, int interval = 0, bool enabled = false);
    int Interval = 0;
    std::function<void()> Tick;
};

enum class Alignment { Default, Left };

// A grid of text cells with one fixed header row. Row and Col select the current cell;
// a click makes the clicked cell current before Click runs.
class Grid : public Control {
  public:
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
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

namespace ControlKinds {

template <class F, bool Const, bool Every> class FunctionVisitor : public ControlVisitor {
  public:
    explicit FunctionVisitor(F& f) : m_f(f) {}
    void visit(TextField& c) override { call(c); }
    void visit(Label& c) override { call(c); }
    void visit(Button& c) override { call(c); }
    void visit(MenuItem& c) override { call(c); }
    void visit(Timer& c) override { call(c); }
    void visit(Grid& c) override { call(c); }

  private:
    template <class T> void call(T& c) {
        static_assert(!Every || std::is_invocable_v<F&, const T&>,
                      "a front end that shows every control must handle every kind");
        if constexpr (Const) {
            if constexpr (std::is_invocable_v<F&, const T&>)
                m_f(std::as_const(c));
        } else if constexpr (std::is_invocable_v<F&, T&>) {
            m_f(c);
        }
    }
    F& m_f;
};

} // namespace ControlKinds

// Calls the overload of `f` that takes the control's kind; a kind it has none for is
// passed over. `visitControl(c, [](Button& b) {...}, ...)` reads as a switch on the kind.
template <class F> void visitControl(Control& control, F&& f) {
    ControlKinds::FunctionVisitor<std::remove_reference_t<F>, false, false> visitor(f);
    control.accept(visitor);
}
template <class F> void visitControl(const Control& control, F&& f) {
    ControlKinds::FunctionVisitor<std::remove_reference_t<F>, true, false> visitor(f);
    // Only const references reach f.
    const_cast<Control&>(control).accept(visitor);
}
// The same, where `f` must take every kind: a new kind does not compile until it does.
template <class F> void visitEveryKind(const Control& control, F&& f) {
    ControlKinds::FunctionVisitor<std::remove_reference_t<F>, true, true> visitor(f);
    const_cast<Control&>(control).accept(visitor);
}

// The control as the kind T, or null when it is another kind.
template <class T> T* controlAs(Control& control) {
    T* found = nullptr;
    visitControl(control, [&found](T& c) { found = &c; });
    return found;
}
template <class T> const T* controlAs(const Control& control) {
    const T* found = nullptr;
    visitControl(control, [&found](const T& c) { found = &c; });
    return found;
}

// An overload set of lambdas, for visitControl.
template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

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
