#include "common/program.h"
#include "common/qtsettingsstore.h"
#include "gui/mainview.h"
#include "gui/modeltext.h"
#include "gui/qtuiservices.h"
#include "schedule/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The program ends when its main window unloads, not when its last window closes:
    // the splash closes before the main window appears.
    QApplication::setQuitOnLastWindowClosed(false);

    QtSettingsStore settings;
    Program program =
        cuebuildProgram(ModelText::pathFromQt(QCoreApplication::applicationDirPath()));
    QtUiServices ui(program.title);
    Main main(ui, settings, program);
    main.load();
    if (main.isClosed())
        return 0;

    MainView view(main);
    QObject::connect(&view, &MainView::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    view.show();
    return app.exec();
}
