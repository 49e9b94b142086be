#include "qtprogram.h"

#include "modeltext.h"
#include "qtuiservices.h"
#include "viewregistry.h"

#include "common/programregistry.h"
#include "common/qtsettingsstore.h"
#include "common/window.h"

#include <QApplication>
#include <QWidget>

#include <iostream>

int runQtProgram(const ProgramEntry& entry, int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The program ends when its main window unloads, not when its last window closes:
    // the splash closes before the main window appears.
    QApplication::setQuitOnLastWindowClosed(false);

    QtSettingsStore settings;
    Program program =
        entry.makeProgram(ModelText::pathFromQt(QCoreApplication::applicationDirPath()));
    QtUiServices ui(program.title);
    const auto environment = entry.makeEnvironment();
    WindowContext context{ui, settings, program, *environment};
    const auto main = entry.mainWindow(context);
    // The view exists before the window loads, so a window may show itself during its
    // load (its view factory can hook that up); it is shown at the latest once loaded.
    const auto view = systemViews().make(*main);
    if (!view ||
        !QObject::connect(view.get(), SIGNAL(closed()), &app, SLOT(quit()), Qt::QueuedConnection)) {
        std::cerr << entry.name << ": no view for the window " << main->name() << '\n';
        return 1;
    }
    main->load();
    if (main->isClosed())
        return 0;
    QMetaObject::invokeMethod(view.get(), "showModel");
    view->show();
    return app.exec();
}
