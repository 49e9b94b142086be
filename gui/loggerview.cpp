#include "loggerview.h"

#include "viewparts.h"
#include "windowbinder.h"

#include "logger/form1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

LoggerView::LoggerView(Form1& form, QWidget* parent) : MainWindowView(form, parent) {
    WindowBinder& b = binder();
    QWidget* central = this->central();

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
    finish();
    // The window shows during its load, before the log dialog comes up over it.
    form.Show = [this] {
        showModel();
        show();
        // Binding may then wait for the presentation program to start: the window is
        // painted before that wait, not left blank.
        QElapsedTimer waited;
        waited.start();
        while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        repaint();
    };
}
