// cuebuild as the operator meets it on a real (virtual) display: the program's own
// start-up, its Qt windows and dialogs, driven by mouse and keys.
#include "desktop.h"

#include "common/textfile.h"
#include "forms/programregistry.h"
#include "gui/modeltext.h"
#include "gui/qtprogram.h"
#include "qtplatform/qtsettingsstore.h"
#include "schedule/cuebuildprogram.h"
#include "schedule/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace {

const ProgramEntry& registered(ProgramRegistry& programs) {
    registerCuebuild(programs);
    return *programs.find("cuebuild");
}

// The program as its main() starts it, with its settings kept in a scratch folder.
struct Cuebuild {
    explicit Cuebuild(const QString& settingsDir)
        : settings(ModelText::pathFromQt(settingsDir)),
          run(registered(programs), settings, CUE_RUNTIME_DIR),
          main(static_cast<Main&>(run.mainWindow())), view(qobject_cast<QMainWindow*>(run.view())) {
    }

    // The splash shows and closes itself; then the main window is on screen.
    void start(Desktop& desktop) {
        ASSERT_NE(view, nullptr);
        closed = std::make_unique<QSignalSpy>(view, SIGNAL(closed()));
        desktop.expectSelfClosing();
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        view->activateWindow();
    }

    template <typename W> W* find(const char* name) const {
        W* widget = view->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTableWidget* grid() const { return find<QTableWidget>("Grid1"); }
    // Rows as the schedule counts them; the grid's header row is the table's header.
    QString cell(int row, int col) const { return grid()->item(row - 1, col)->text(); }
    void clickCell(int row, int col) const { Desktop::clickCell(grid(), row - 1, col); }
    bool menuOn(const char* name) const { return find<QAction>(name)->isEnabled(); }
    void choose(const char* menu, const char* item) const {
        Desktop::chooseMenu(view->menuBar(), QString::fromLatin1(menu), QString::fromLatin1(item));
    }

    QtSettingsStore settings;
    ProgramRegistry programs;
    QtProgramRun run;
    Main& main;
    QMainWindow* view;
    std::unique_ptr<QSignalSpy> closed;
};

std::string fileBytes(const QString& path) {
    return TextFile::readAll(ModelText::pathFromQt(path));
}

class CuebuildWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A folder with blanks and letters beyond ASCII, as lecture folders are named.
        folder = dir.filePath(QStringLiteral("Vorlesung März 3"));
        ASSERT_TRUE(QDir().mkpath(folder));
        log = folder + QStringLiteral("/q3.txt");
        ASSERT_TRUE(QFile::copy(QStringLiteral(CUE_SOURCE_DIR "/tests/samples/q3.txt"), log));
    }

    QTemporaryDir dir;
    QString folder;
    QString log;
    Desktop desktop;
};

TEST_F(CuebuildWindow, lectureRoadFromReadLogFileToClose) {
    Cuebuild app(dir.filePath(QStringLiteral("settings")));
    // The event compiler is the stand-in built beside the programs.
    app.settings.SaveSetting("CuemarkPost", "URLs", "CeventsLoc", CUE_RUNTIME_DIR "/cevents");
    app.start(desktop);
    ASSERT_TRUE(desktop.settle());
    EXPECT_EQ(app.view->windowTitle(), QStringLiteral("Cuemark PostProcessor"));
    EXPECT_FALSE(app.menuOn("mnuSaveGrid"));

    // Read Log File, the log picked in the dialog by its name without ".txt".
    desktop.expectFileDialog(folder + QStringLiteral("/q3"));
    app.choose("mnuFile", "mnuRdLog");
    ASSERT_TRUE(desktop.settle());
    EXPECT_EQ(app.cell(1, ScheduleColumn::Title), QStringLiteral("Welcome"));
    EXPECT_EQ(app.cell(3, ScheduleColumn::Title), QStringLiteral("NO TITLE"));
    EXPECT_EQ(app.cell(4, ScheduleColumn::ImageUrl), QStringLiteral("wait.gif"));
    EXPECT_EQ(app.cell(4, ScheduleColumn::Stop), QStringLiteral("00:00:49"));
    EXPECT_EQ(app.find<QLineEdit>("txtLogFile")->text(), log);
    EXPECT_TRUE(app.menuOn("mnuSaveGrid"));
    EXPECT_FALSE(app.menuOn("mnuReadGrid"));

    // An edit in the row editor: row 2 picked in the grid, its length and title typed,
    // Update pressed; the later Starts and Stops follow.
    app.clickCell(2, ScheduleColumn::Length);
    EXPECT_EQ(app.find<QLineEdit>("txtSlideTitle")->text(), QStringLiteral("Agenda"));
    Desktop::typeInto(app.find<QLineEdit>("txtSlideLength"), QStringLiteral("00:01:00"));
    Desktop::typeInto(app.find<QLineEdit>("txtSlideTitle"), QStringLiteral("Agenda für heute"));
    QTest::mouseClick(app.find<QPushButton>("cmdUpdate"), Qt::LeftButton);
    EXPECT_EQ(app.cell(2, ScheduleColumn::Length), QStringLiteral("00:01:00"));
    EXPECT_EQ(app.cell(2, ScheduleColumn::Title), QStringLiteral("Agenda für heute"));
    EXPECT_EQ(app.cell(3, ScheduleColumn::Start), QStringLiteral("00:01:05"));

    // Closing with an unsaved edit asks; Cancel keeps the window and the schedule.
    desktop.expectBox(QMessageBox::Cancel);
    app.choose("mnuFile", "mnuExit");
    ASSERT_TRUE(desktop.settle());
    EXPECT_EQ(desktop.boxes().value(0), QStringLiteral("Save Grid?"));
    EXPECT_EQ(app.closed->count(), 0);
    EXPECT_TRUE(app.view->isVisible());

    // Save Grid into the lecture's folder.
    const QString grid = folder + QStringLiteral("/q3 grid.txt");
    desktop.expectFileDialog(grid);
    app.choose("mnuFile", "mnuSaveGrid");
    ASSERT_TRUE(desktop.settle());
    const std::string saved = fileBytes(grid);
    EXPECT_EQ(saved.rfind("Cuemark Grid File\r\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("\r\nAgenda f\xc3\xbcr heute\r\n"), std::string::npos) << saved;

    // Write HTM, RAM, RAE into the log's folder; the stand-in cevents turns the event list
    // into the event file named after the audio URL.
    app.choose("mnuFile", "mnuWrtAll");
    ASSERT_TRUE(desktop.settle());
    for (const char* name : {"sld001.htm", "sld004.htm", "preload.htm", "index.htm", "p2hnext.gif",
                             "tsld001.ram", "tsld004.ram", "cevents.txt"})
        EXPECT_TRUE(QFile::exists(folder + "/" + QLatin1String(name))) << name;
    EXPECT_NE(fileBytes(folder + QStringLiteral("/sld002.htm")).find("Agenda f\xc3\xbcr heute"),
              std::string::npos);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(folder + QStringLiteral("/stockholder_1.rae")); }, 10000));
    EXPECT_EQ(fileBytes(folder + QStringLiteral("/stockholder_1.rae")).rfind("WEBVTT", 0), 0u);

    // Saved, so closing asks nothing more; the program ends.
    app.choose("mnuFile", "mnuExit");
    ASSERT_TRUE(desktop.settle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.closed->count() == 1; }, 5000));
    EXPECT_TRUE(app.main.isClosed());
    EXPECT_EQ(desktop.boxes().size(), 1);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/q3.urs")));
    EXPECT_EQ(fileBytes(log), fileBytes(QStringLiteral(CUE_SOURCE_DIR "/tests/samples/q3.txt")));
}

TEST_F(CuebuildWindow, gridFileCutInsideARowShowsItsLineAndStaysOutOfGridMode) {
    const QString cut = folder + QStringLiteral("/cut.txt");
    std::string bytes =
        fileBytes(QStringLiteral(CUE_SOURCE_DIR "/tests/samples/three_rows_grid.txt"));
    bytes.resize(bytes.find("wait.gif"));
    TextFile::writeAtomically(ModelText::pathFromQt(cut), bytes);

    Cuebuild app(dir.filePath(QStringLiteral("settings")));
    app.start(desktop);
    ASSERT_TRUE(desktop.settle());
    desktop.expectFileDialog(cut);
    desktop.expectBox(QMessageBox::Ok);
    app.choose("mnuFile", "mnuReadGrid");
    ASSERT_TRUE(desktop.settle());
    EXPECT_TRUE(desktop.boxes().value(0).startsWith(QStringLiteral("Line 19 of '")))
        << desktop.boxes().value(0).toStdString();
    EXPECT_TRUE(desktop.boxes().value(0).contains(QStringLiteral("ends inside row 3")));
    // The two whole rows are shown; the file itself is left as it was.
    EXPECT_EQ(app.cell(2, ScheduleColumn::Title), QStringLiteral("Costs, risks, \"plans\""));
    EXPECT_TRUE(app.menuOn("mnuRdLog"));
    EXPECT_EQ(fileBytes(cut), bytes);

    // Nothing was read in full: closing asks nothing.
    app.view->close();
    ASSERT_TRUE(desktop.settle());
    EXPECT_EQ(app.closed->count(), 1);
}

} // namespace
