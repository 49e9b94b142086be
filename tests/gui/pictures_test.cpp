// Pictures of the windows for a person to look at: each test writes a PNG into the
// picture folder and checks that the picture shows what the model holds.

#include "gui/aboutview.h"
#include "gui/configview.h"
#include "gui/loggerview.h"
#include "gui/mainview.h"

#include "config/frmconfig.h"
#include "forms/about.h"
#include "support/loggerfixture.h"
#include "support/mainfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPixmap>

#include <gtest/gtest.h>

#include <string>

namespace {

QImage savePicture(QWidget& widget, const char* name) {
    widget.show();
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    EXPECT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), widget.minimumSizeHint().width());
    EXPECT_TRUE(QDir().mkpath(QStringLiteral(CUE_PICTURE_DIR)));
    const QString path = QStringLiteral(CUE_PICTURE_DIR "/%1.png").arg(QLatin1String(name));
    EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
    return picture.toImage().convertToFormat(QImage::Format_RGB32);
}

// The part of the picture where the named child of the window lies.
QImage partOf(const QImage& picture, const QWidget& window, const char* child) {
    const auto* widget = window.findChild<QWidget*>(QLatin1String(child));
    EXPECT_NE(widget, nullptr) << child;
    if (!widget || !widget->isVisible())
        return {};
    const double scale = picture.width() / double(window.width());
    const QRect area(widget->mapTo(&window, QPoint(0, 0)) * scale, widget->size() * scale);
    return picture.copy(area);
}

// Text drawn in a part shows as more than one colour.
bool showsText(const QImage& part) {
    for (int y = 0; y < part.height(); ++y) {
        for (int x = 0; x < part.width(); ++x) {
            if (part.pixel(x, y) != part.pixel(0, 0))
                return true;
        }
    }
    return false;
}

TEST(Pictures, mainWindowEmptyThenAfterReadGrid) {
    MainFixture f;
    f.start();
    MainView view(*f.main);
    const QImage empty = savePicture(view, "main_empty");
    f.ui.queueFile(CUE_SOURCE_DIR "/tests/samples/three_rows_grid.txt");
    view.findChild<QAction*>(QStringLiteral("mnuReadGrid"))->trigger();
    ASSERT_EQ(f.main->schedule().RowCount(), 3);
    const QImage grid = savePicture(view, "main_grid");
    // The rows read show in the grid.
    EXPECT_NE(partOf(empty, view, "Grid1"), partOf(grid, view, "Grid1"));
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
    const QImage picture = savePicture(view, "about");
    EXPECT_TRUE(showsText(partOf(picture, view, "Label4")));
    EXPECT_TRUE(showsText(partOf(picture, view, "Command1")));
}

TEST(Pictures, aboutBoxAsSplash) {
    MainFixture f;
    f.program.SplashMode = true;
    About about(f.ui, f.program);
    about.load();
    AboutView view(about);
    const QImage picture = savePicture(view, "about_splash");
    EXPECT_TRUE(showsText(partOf(picture, view, "Label4")));
    // The splash has no OK button.
    EXPECT_TRUE(partOf(picture, view, "Command1").isNull());
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
    const QImage picture = savePicture(view, "logger_logging");
    EXPECT_TRUE(showsText(partOf(picture, view, "lblPPTFile")));
    EXPECT_TRUE(showsText(partOf(picture, view, "lblSlideNum")));
}

} // namespace
