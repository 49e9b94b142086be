#include "loggerview.h"

#include "viewparts.h"
#include "windowbinder.h"

#include "logger/form1.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

LoggerView::LoggerView(Form1& form, QWidget* parent)
    : QMainWindow(parent), m_binder(new WindowBinder(form, this)) {
    WindowBinder& b = *m_binder;
    b.buildMenuBar(menuBar());

    auto* central = new QWidget(this);
    setCentralWidget(central);
    const auto label = [&](Label& model) {
        auto* widget = new QLabel(central);
        b.bind(widget, model);
        return widget;
    };
    const auto button = [&](Button& model) {
        auto* widget = new QPushButton(central);
        widget->setAutoDefault(false);
        b.bind(widget, model);
        return widget;
    };

    // What is being logged: the log, the presentation and the last slide.
    auto* shown = new QGridLayout;
    shown->setHorizontalSpacing(10);
    Label* values[] = {&form.lblLogFIle, &form.lblPPTFile, &form.lblSlideNum};
    for (int i = 0; i < 3; ++i) {
        shown->addWidget(label(form.Label1[i]), i, 0);
        QLabel* value = label(*values[i]);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        shown->addWidget(value, i, 1);
    }
    shown->setColumnStretch(1, 1);

    QLabel* status = label(form.lblStatus);
    status->setWordWrap(true);
    status->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button(form.cmdOpenLog));
    buttons->addWidget(button(form.cmdEnd));
    buttons->addStretch();
    auto* whatsThis = ViewParts::whatsThisButton(central);
    b.bind(whatsThis, form.Picture1);
    buttons->addWidget(whatsThis);
    buttons->addWidget(label(form.Label2));

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addLayout(shown);
    layout->addWidget(status);
    layout->addStretch();
    layout->addLayout(buttons);

    // Timer1 keeps polling while a message box or the log dialog is up: QTimer fires in
    // their nested event loops.
    b.bindTimers();
    b.onClosed = [this] { close(); };
    b.sync();
    b.applyGeometry();
    // The window shows during its load, before the log dialog comes up over it.
    form.Show = [this] {
        showModel();
        show();
    };
}

void LoggerView::showModel() {
    m_binder->sync();
    m_binder->applyGeometry();
}

void LoggerView::closeEvent(QCloseEvent* event) {
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
