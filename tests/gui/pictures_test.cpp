// Pictures of the windows for a person to look at: each test writes a PNG into the
// picture folder and checks only that the window drew something of its size.

#include "gui/aboutview.h"
#include "gui/configview.h"
#include "gui/loggerview.h"
#include "gui/mainview.h"

#include "common/about.h"
#include "config/frmconfig.h"
#include "support/loggerfixture.h"
#include "support/mainfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>

#include <gtest/gtest.h>

#include <string>

namespace {

void savePicture(QWidget& widget, const char* name) {
    widget.show();
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), widget.minimumSizeHint().width());
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(CUE_PICTURE_DIR)));
    const QString path = QStringLiteral(CUE_PICTURE_DIR "/%1.png").arg(QLatin1String(name));
    EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
}

TEST(Pictures, mainWindowAfterStartUp) {
    MainFixture f;
    f.start();
    MainView view(*f.main);
    savePicture(view, "main_empty");
}

TEST(Pictures, mainWindowAfterReadGrid) {
    MainFixture f;
    f.start();
    MainView view(*f.main);
    view.show();
    f.ui.queueFile(CUE_SOURCE_DIR "/tests/samples/three_rows_grid.txt");
    view.findChild<QAction*>(QStringLiteral("mnuReadGrid"))->trigger();
    ASSERT_EQ(f.main->schedule().RowCount(), 3);
    savePicture(view, "main_grid");
    // The File and Help menus with their access keys and shortcuts.
    for (const char* menu : {"mnuFile", "nuHelpTop"}) {
        auto* shown = view.findChild<QMenu*>(QLatin1String(menu));
        ASSERT_NE(shown, nullptr) << menu;
        shown->popup(view.mapToGlobal(QPoint(0, 0)));
        savePicture(*shown, menu == std::string("mnuFile") ? "main_menu_file" : "main_menu_help");
        shown->hide();
    }
}

// A log read a second time: its resume file brings back the first slide's corrected
// length, and row 1 shows the L and M choices.
TEST(Pictures, mainWindowAfterReadLogWithResumeFile) {
    MainFixture f;
    f.start();
    MainView view(*f.main);
    view.show();
    const std::string log =
        f.writeFile("q3.txt", f.readFile(CUE_SOURCE_DIR "/tests/samples/q3.txt"));
    f.writeFile("q3.urs", "C:\\Talks\\q3.txt\r\npnm://audio.cuemark.example/q3.ra\r\n"
                          "http://www.cuemark.example/q3/\r\n 6.94444444444444E-05 \r\n");
    f.ui.queueFile(log);
    view.findChild<QAction*>(QStringLiteral("mnuRdLog"))->trigger();
    ASSERT_EQ(f.main->schedule().RowCount(), 4);
    ASSERT_TRUE(f.main->cmd1SaveTIme.Visible);
    savePicture(view, "main_log");
}

TEST(Pictures, aboutBox) {
    MainFixture f;
    About about(f.ui, f.program);
    about.load();
    AboutView view(about);
    savePicture(view, "about");
}

TEST(Pictures, aboutBoxAsSplash) {
    MainFixture f;
    f.program.SplashMode = true;
    About about(f.ui, f.program);
    about.load();
    AboutView view(about);
    savePicture(view, "about_splash");
}

TEST(Pictures, configurationWindow) {
    MainFixture f;
    f.start();
    FrmConfig config(f.ui, f.settings, f.program, f.main->txtAudioURL, f.main->txtHTMURL);
    config.load();
    ConfigView view(config);
    savePicture(view, "config");
}

TEST(Pictures, loggerWhileAShowIsLogged) {
    LoggerFixture f;
    LoggerView view(*f.form);
    f.start();
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    view.showModel();
    savePicture(view, "logger_logging");
}

} // namespace
