#include "windowbinder.h"

#include "menukeys.h"
#include "modeltext.h"

#include "forms/controls.h"
#include "forms/window.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace {

// Grid widths and window sizes were laid out for a small 8-point face; a text that
// fitted there (a clock time in a 700-twip column) must fit in the face used here.
double layoutScale(const QWidget* widget) {
    const int cellPadding = 14;
    const double needed =
        widget->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + cellPadding;
    return std::max(1.0, needed / Twips::toPixelsX(700));
}

void showIf(QWidget* widget, bool visible) {
    if (widget->isHidden() == visible)
        widget->setVisible(visible);
}

void showIf(QAction* action, bool visible) {
    if (action->isVisible() != visible)
        action->setVisible(visible);
}

// A button's or label's text and its control's visible and enabled states.
template <class Widget> void showText(Widget* widget, const QString& text, const Control& control) {
    if (widget->text() != text)
        widget->setText(text);
    showIf(widget, control.Visible);
    widget->setEnabled(control.Enabled);
}

Qt::Alignment alignmentOf(Alignment alignment, const QString& text) {
    if (alignment == Alignment::Left)
        return Qt::AlignLeft | Qt::AlignVCenter;
    // The grid's general alignment: numbers to the right, texts to the left.
    bool number = false;
    text.toDouble(&number);
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// A field's typed keys and focus moves, handed to the window (see trackFocus).
class FieldEvents : public QObject {
  public:
    FieldEvents(WindowBinder* binder, QLineEdit* edit, TextField& field)
        : QObject(edit), m_binder(binder), m_edit(edit), m_field(field) {}

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            return keyPress(static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn:
            if (!passing(event))
                later([this] { m_binder->entered(m_field); });
            break;
        case QEvent::FocusOut:
            if (!passing(event))
                later([this] { m_binder->left(m_field); });
            break;
        default:
            break;
        }
        return false;
    }

  private:
    static bool passing(QEvent* event) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
               reason == Qt::MenuBarFocusReason;
    }

    bool keyPress(QKeyEvent* event) {
        const QString text = event->text();
        if (text.size() != 1 || !m_edit->isEnabled() || m_edit->isReadOnly())
            return false;
        const int typed = text.at(0).unicode();
        const int key = m_binder->typedKey(m_field, typed);
        if (key == typed)
            return false;
        // The handler swallowed the key (0) or replaced it.
        if (key > 0 && key <= 0xFFFF) {
            m_edit->insert(QString(QChar(static_cast<char16_t>(key))));
            m_field.Text = ModelText::fromQt(m_edit->text(), m_field.Text);
        }
        return true;
    }

    void later(std::function<void()> step) {
        QPointer<WindowBinder> binder = m_binder;
        QMetaObject::invokeMethod(
            m_binder,
            [binder, step = std::move(step)] {
                if (binder)
                    step();
            },
            Qt::QueuedConnection);
    }

    WindowBinder* m_binder;
    QLineEdit* m_edit;
    TextField& m_field;
};

// Enter on the grid clicks its current cell, as a click does.
class GridEnterKey : public QObject {
  public:
    GridEnterKey(WindowBinder* binder, QTableWidget* table, Grid& grid)
        : QObject(table), m_binder(binder), m_grid(grid) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_binder->click(m_grid);
        return true;
    }

  private:
    WindowBinder* m_binder;
    Grid& m_grid;
};

} // namespace

WindowBinder::WindowBinder(Window& window, QWidget* view)
    : QObject(view), ViewBinder(window), m_view(view) {
    m_refreshers.push_back([this] {
        if (!this->window().Caption.empty())
            m_view->setWindowTitle(ModelText::toQt(this->window().Caption));
    });
}

void WindowBinder::setHelp(QWidget* widget, const Control& control) {
    widget->setObjectName(QString::fromStdString(control.name()));
    widget->setWhatsThis(ModelText::toQt(control.WhatsThis));
}

void WindowBinder::bind(QLineEdit* edit, TextField& field) {
    setHelp(edit, field);
    connect(edit, &QLineEdit::textEdited, this, [this, &field](const QString& text) {
        edited(field, ModelText::fromQt(text, field.Text));
    });
    trackFocus(edit, field);
    m_refreshers.push_back([edit, &field] {
        const QString text = ModelText::toQt(field.Text);
        if (edit->text() != text) {
            edit->setText(text);
            edit->setCursorPosition(0);
        }
        showIf(edit, field.Visible);
        edit->setEnabled(field.Enabled);
    });
}

// Typed characters reach the model's key-press handler before the field takes them, and
// the model's focus follows the operator's moves between fields, so lost-focus checks run
// as the operator leaves a field. Focus changes are handed on after the event, so a box
// a check shows does not open in the middle of Qt's own focus change. A box, a menu or
// another window taking the input moves no focus: commands release it themselves, and
// typing into the field takes it back.
void WindowBinder::trackFocus(QLineEdit* edit, TextField& field) {
    edit->installEventFilter(new FieldEvents(this, edit, field));
}

void WindowBinder::bind(QAbstractButton* button, Button& model) {
    setHelp(button, model);
    if (auto* push = qobject_cast<QPushButton*>(button); push && model.Default)
        push->setDefault(true);
    connect(button, &QAbstractButton::clicked, this, [this, &model] { click(model); });
    m_refreshers.push_back(
        [button, &model] { showText(button, ModelText::caption(model.Caption), model); });
}

void WindowBinder::bind(QLabel* label, Label& model) {
    setHelp(label, model);
    label->setTextFormat(Qt::PlainText);
    m_refreshers.push_back(
        [label, &model] { showText(label, ModelText::lines(model.Caption), model); });
}

void WindowBinder::bind(QTableWidget* table, Grid& grid) {
    setHelp(table, grid);
    const int rows = std::max(0, grid.Rows() - 1); // row 0 is the header
    table->setRowCount(rows);
    table->setColumnCount(grid.Cols());
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < grid.Cols(); ++c) {
        table->setHorizontalHeaderItem(c, new QTableWidgetItem);
        for (int r = 0; r < rows; ++r) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(r, c, item);
        }
    }

    // Moving with the keys makes a cell current as in the grid; only a click (or Enter)
    // runs the click handler.
    connect(table, &QTableWidget::currentCellChanged, this, [this, &grid](int row, int col) {
        if (row >= 0 && col >= 0)
            moveCurrentCell(grid, row + 1, col);
    });
    connect(table, &QTableWidget::cellClicked, this,
            [this, &grid](int row, int col) { clickCell(grid, row + 1, col); });
    table->installEventFilter(new GridEnterKey(this, table, grid));

    m_refreshers.push_back([table, &grid, rows] {
        const double scale = layoutScale(table);
        for (int c = 0; c < grid.Cols(); ++c) {
            const QString header = ModelText::toQt(grid.TextMatrix(0, c));
            if (table->horizontalHeaderItem(c)->text() != header)
                table->horizontalHeaderItem(c)->setText(header);
            const int width = static_cast<int>(Twips::toPixelsX(grid.ColWidth[c]) * scale);
            if (grid.ColWidth[c] > 0 && table->columnWidth(c) != width)
                table->setColumnWidth(c, width);
            // Left-aligned columns hold the long texts, which a tooltip shows whole.
            const Alignment alignment = grid.ColAlignment[c];
            for (int r = 0; r < rows; ++r) {
                QTableWidgetItem* item = table->item(r, c);
                const QString text = ModelText::toQt(grid.TextMatrix(r + 1, c));
                if (item->text() != text) {
                    item->setText(text);
                    item->setToolTip(alignment == Alignment::Left ? text : QString());
                }
                const Qt::Alignment align = alignmentOf(alignment, text);
                if (item->textAlignment() != static_cast<int>(align))
                    item->setTextAlignment(align);
            }
        }
        const int row = grid.Row - 1;
        if (row >= 0 && row < rows && grid.Col >= 0 && grid.Col < grid.Cols() &&
            (table->currentRow() != row || table->currentColumn() != grid.Col)) {
            const QSignalBlocker blocker(table);
            table->setCurrentCell(row, grid.Col);
        }
        showIf(table, grid.Visible);
        table->setEnabled(grid.Enabled);
    });
}

void WindowBinder::buildMenuBar(QMenuBar* bar) {
    const std::vector<MenuItem*>& menus = window().menuBar();
    const std::vector<QChar> keys = MenuKeys::accessKeys(menus);
    for (std::size_t i = 0; i < menus.size(); ++i) {
        QMenu* menu = bar->addMenu(MenuKeys::withAccessKey(menus[i]->Caption, keys[i]));
        bindMenu(menu, *menus[i], keys[i]);
    }
}

void WindowBinder::bindMenu(QMenu* menu, MenuItem& item, QChar key) {
    menu->setObjectName(QString::fromStdString(item.name()));
    bindAction(menu->menuAction(), item, key);
    const std::vector<QChar> keys = MenuKeys::accessKeys(item.items());
    for (std::size_t i = 0; i < item.items().size(); ++i) {
        MenuItem* child = item.items()[i];
        if (!child->items().empty()) {
            bindMenu(menu->addMenu(MenuKeys::withAccessKey(child->Caption, keys[i])), *child,
                     keys[i]);
            continue;
        }
        QAction* action = child->isSeparator() ? menu->addSeparator() : menu->addAction(QString());
        bindAction(action, *child, keys[i]);
        if (!child->isSeparator()) {
            action->setShortcut(MenuKeys::shortcut(child->name()));
            connect(action, &QAction::triggered, this, [this, child] { click(*child); });
        }
    }
}

void WindowBinder::bindAction(QAction* action, MenuItem& item, QChar key) {
    action->setObjectName(QString::fromStdString(item.name()));
    action->setWhatsThis(ModelText::toQt(item.WhatsThis));
    m_refreshers.push_back([action, &item, key] {
        showIf(action, item.Visible);
        if (item.isSeparator()) {
            action->setSeparator(true);
            return;
        }
        action->setSeparator(false);
        const QString caption = MenuKeys::withAccessKey(item.Caption, key);
        if (action->text() != caption)
            action->setText(caption);
        action->setEnabled(item.Enabled);
        action->setCheckable(item.Checked);
        action->setChecked(item.Checked);
    });
}

void WindowBinder::bindTimers() {
    for (Timer* timer : timers()) {
        auto* qtimer = new QTimer(this);
        qtimer->setObjectName(QString::fromStdString(timer->name()));
        connect(qtimer, &QTimer::timeout, this, [this, timer] { tick(*timer); });
        m_refreshers.push_back([this, qtimer, timer] {
            const int ms = interval(*timer);
            if (ms == 0)
                qtimer->stop();
            else if (!qtimer->isActive() || qtimer->interval() != ms)
                qtimer->start(ms);
        });
    }
}

void WindowBinder::showFault(const std::string& message) {
    QMessageBox::warning(m_view, m_view->windowTitle(), ModelText::toQt(message));
}

void WindowBinder::refresh() {
    for (const auto& refresh : m_refreshers)
        refresh();
}

void WindowBinder::closed() {
    if (onClosed)
        onClosed();
}

// What the window's frame adds around the view: measured once it is on the screen, before
// that a title bar and a thin border as the style draws them.
QSize WindowBinder::frameSize() const {
    if (m_view->isVisible() && m_view->frameGeometry() != m_view->geometry())
        return m_view->frameGeometry().size() - m_view->size();
    const int border = 2;
    return {2 * border, m_view->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border};
}

void WindowBinder::takeViewSize() {
    const double scale = layoutScale(m_view);
    const QSize needed = m_view->sizeHint().expandedTo(m_view->minimumSizeHint());
    Window& model = window();
    const int width = static_cast<int>(Twips::toPixelsX(model.Width) * scale);
    const int height = static_cast<int>(Twips::toPixelsY(model.Height) * scale);
    // The model places the whole window, frame included.
    const QSize frame = frameSize();
    model.Width = Twips::fromPixelsX(std::max(width, needed.width()) + frame.width());
    model.Height = Twips::fromPixelsY(std::max(height, needed.height()) + frame.height());
}

void WindowBinder::applyGeometry() {
    const Window& model = window();
    const QSize frame = frameSize();
    QSize size(Twips::toPixelsX(model.Width), Twips::toPixelsY(model.Height));
    if (const QScreen* screen = m_view->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    m_view->resize(size - frame);
    m_view->move(Twips::toPixelsX(model.Left), Twips::toPixelsY(model.Top));
}

void WindowBinder::storePosition() {
    if (!m_view->isVisible())
        return;
    const QPoint at = m_view->pos();
    window().Left = Twips::fromPixelsX(at.x());
    window().Top = Twips::fromPixelsY(at.y());
}
