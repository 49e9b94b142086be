#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <ostream>

class QAction;
class QMenuBar;
class QTableWidget;
class QWidget;

// The operator at a real display: answers the modal windows the program opens, in order,
// through their widgets, and works menus, grids and fields with QTest's mouse and keys.
class Desktop {
  public:
    Desktop();

    // The next modal window gets this answer once it is shown. A modal window nobody
    // expected fails the test and is closed, so a wrong turn cannot hang the run.
    void expectModal(std::function<void(QWidget*)> answer);
    // A file dialog: the path typed into its file-name field, then Enter.
    void expectFileDialog(const QString& path);
    // A message box: its text is recorded in boxes(), then the button is clicked.
    void expectBox(int standardButton);
    // A modal window the program closes by itself, such as the splash. On a busy machine it
    // may come and go between two looks; a dialog or box that follows is answered as usual.
    void expectSelfClosing();

    // Waits until every expected modal window has come and gone.
    bool settle(int timeoutMs = 10000);
    const QStringList& boxes() const { return m_boxes; }

    // Opens a top-level menu of the bar by its click, then clicks the named item in it.
    static void chooseMenu(QMenuBar* bar, const QString& menuName, const QString& itemName);
    static void clickCell(QTableWidget* table, int row, int col);
    // Clicks into the field, selects all and types the text key by key.
    static void typeInto(QWidget* field, const QString& text);
    // Types the text key by key into the widget that has the keyboard.
    static void keys(QWidget* widget, const QString& text);

  private:
    void poll();

    struct Expected {
        std::function<void(QWidget*)> answer;
        bool selfClosing = false;
    };
    std::deque<Expected> m_expected;
    static constexpr int StuckMs = 20000;
    QPointer<QWidget> m_handled;
    QElapsedTimer m_since;
    QStringList m_boxes;
    QTimer m_timer;
    int m_unexpected = 0;
};

// Texts shown as text when a check fails.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
