#include "mainwindowview.h"

#include "viewparts.h"
#include "windowbinder.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>

MainWindowView::MainWindowView(Window& window, QWidget* parent)
    : QMainWindow(parent), m_binder(new WindowBinder(window, this)), m_central(new QWidget) {
    m_binder->buildMenuBar(menuBar());
    setCentralWidget(ViewParts::scrolling(m_central, this));
}

QLabel* MainWindowView::label(Label& model) {
    auto* widget = new QLabel(m_central);
    m_binder->bind(widget, model);
    return widget;
}

QLineEdit* MainWindowView::field(TextField& model) {
    auto* widget = new QLineEdit(m_central);
    m_binder->bind(widget, model);
    return widget;
}

QPushButton* MainWindowView::button(Button& model) {
    auto* widget = new QPushButton(m_central);
    widget->setAutoDefault(false);
    m_binder->bind(widget, model);
    return widget;
}

void MainWindowView::finish() {
    m_binder->bindTimers();
    // A close the model made itself closes the view; the close box is closing it already.
    m_binder->onClosed = [this] {
        if (!m_closing)
            close();
    };
    m_binder->takeViewSize();
    m_binder->sync();
    m_binder->applyGeometry();
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    m_closing = true;
    const bool unloaded = m_binder->requestClose();
    m_closing = false;
    if (!unloaded) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_closedSignalled) {
        m_closedSignalled = true;
        emit closed();
    }
}

void MainWindowView::showModel() {
    m_binder->sync();
    m_binder->applyGeometry();
}
