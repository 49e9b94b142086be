#include "qtprogram.h"

#include "modeltext.h"
#include "qtuiservices.h"
#include "viewregistry.h"

#include "common/commandline.h"
#include "forms/programregistry.h"
#include "forms/window.h"
#include "qtplatform/qtsettingsstore.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <iostream>

struct QtProgramRun::Parts {
    Parts(const ProgramEntry& entry, SettingsStore& settings, const std::string& directory)
        : program(entry.makeProgram(directory)), ui(program.title),
          environment(entry.makeEnvironment()), context{ui, settings, program, *environment},
          main(entry.mainWindow(context)), view(systemViews().make(*main, nullptr)) {}

    Program program;
    QtUiServices ui;
    std::unique_ptr<ProgramEnvironment> environment;
    WindowContext context;
    std::unique_ptr<Window> main;
    // The view exists before the window loads, so a window may show itself during its
    // load (its view factory can hook that up); it is shown at the latest once loaded.
    std::unique_ptr<QWidget> view;
};

QtProgramRun::QtProgramRun(const ProgramEntry& entry, SettingsStore& settings,
                           const std::string& directory)
    : m(std::make_unique<Parts>(entry, settings, directory)) {}

QtProgramRun::~QtProgramRun() = default;

bool QtProgramRun::start() {
    if (!m->view)
        return false;
    m->main->load();
    if (m->main->isClosed())
        return false;
    QMetaObject::invokeMethod(m->view.get(), "showModel");
    m->view->show();
    return true;
}

Window& QtProgramRun::mainWindow() const {
    return *m->main;
}

QWidget* QtProgramRun::view() const {
    return m->view.get();
}

bool QtProgramRun::hasView() const {
    return m->view != nullptr;
}

int runQtProgram(const ProgramEntry& entry, const std::string& icon, int argc, char* argv[]) {
    // --help and --version are answered before the application, its window or an office
    // exists; any other argument is ignored.
    const CommandLine line = readCommandLine(argc, argv, entry.commandLineUsage());
    if (line.answered)
        return *line.answered;

    QApplication app(argc, argv);
    // The program ends when its main window unloads, not when its last window closes:
    // the splash closes before the main window appears.
    QApplication::setQuitOnLastWindowClosed(false);
    // The icon the desktop entry shows, from the theme where the package installed it.
    QApplication::setWindowIcon(QIcon::fromTheme(
        QString::fromStdString(icon),
        QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromStdString(icon)))));

    QtSettingsStore settings;
    QtProgramRun run(entry, settings,
                     ModelText::pathFromQt(QCoreApplication::applicationDirPath()));
    if (!run.hasView() ||
        !QObject::connect(run.view(), SIGNAL(closed()), &app, SLOT(quit()), Qt::QueuedConnection)) {
        std::cerr << entry.name << ": no view for the window " << run.mainWindow().name() << '\n';
        return 1;
    }
    if (!run.start())
        return 0;
    return app.exec();
}
