// cuerec7 and cuerec8: one source, built once per PowerPoint version (CUE_PPT_VERSION).
#include "common/program.h"
#include "common/qtsettingsstore.h"
#include "gui/loggerview.h"
#include "gui/modeltext.h"
#include "gui/qtloggerclock.h"
#include "gui/qtuiservices.h"
#include "gui/windowbinder.h"
#include "logger/automation.h"
#include "logger/form1.h"
#include "logger/powerpointversion.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The program ends when its window unloads, not when its last window closes: the
    // splash closes before the window appears.
    QApplication::setQuitOnLastWindowClosed(false);

    QtSettingsStore settings;
    Program program = loggerProgram(BuildPowerPointVersion.number,
                                    ModelText::pathFromQt(QCoreApplication::applicationDirPath()));
    QtUiServices ui(program.title);
    QtLoggerClock clock;
    Form1 form(ui, settings, program, BuildPowerPointVersion,
               {platformAutomationFactory(), clock, [] { QApplication::beep(); }});

    LoggerView view(form);
    QObject::connect(&view, &LoggerView::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // The window shows before the log dialog comes up over it.
    form.Show = [&view] {
        view.binder().sync();
        view.binder().applyGeometry();
        view.show();
    };
    form.load();
    view.binder().sync();
    if (form.isClosed())
        return 0;
    return app.exec();
}
