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
    m_binder->onClosed = [this] { close(); };
    m_binder->takeViewSize();
    m_binder->sync();
    m_binder->applyGeometry();
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    if (!m_binder->requestClose()) {
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
