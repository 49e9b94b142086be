#include "gui/aboutview.h"
#include "gui/configview.h"
#include "gui/loggerview.h"
#include "gui/mainview.h"
#include "gui/modeltext.h"
#include "gui/qtprogram.h"
#include "gui/windowbinder.h"

#include "config/frmconfig.h"
#include "config/urlsettings.h"
#include "forms/about.h"
#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"
#include "support/loggerfixture.h"
#include "support/mainfixture.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const char* const GridSample = CUE_SOURCE_DIR "/tests/samples/three_rows_grid.txt";

void pressKeys(QLineEdit* edit, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &release);
    }
}

// Replaces a field's text key by key, as the operator types it.
void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    pressKeys(edit, text);
}

void appendTo(QLineEdit* edit, const QString& text) {
    edit->end(false);
    pressKeys(edit, text);
}

void clickCell(QTableWidget* table, int row, int col) {
    const QPoint at = table->visualItemRect(table->item(row, col)).center();
    QWidget* viewport = table->viewport();
    const QPointF global = viewport->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

// The views show a handler's fault in a box of their own; in a test that box would wait
// for ever, so it fails the test and is closed.
class FaultBoxCloser {
  public:
    FaultBoxCloser() {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "box shown: " << box->text().toStdString();
                box->close();
            }
        });
        m_timer.start(50);
    }

  private:
    QTimer m_timer;
};

struct MainViewTest : ::testing::Test, MainFixture {
    FaultBoxCloser faultBoxCloser;

    void SetUp() override {
        start();
        view = std::make_unique<MainView>(*main);
        view->show();
        QApplication::processEvents();
    }

    template <typename W> W* widget(const char* name) const {
        W* found = view->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::vector<std::string> enabledCommands() const {
        std::vector<std::string> names;
        for (const MenuItem* menu : main->menuBar()) {
            for (const MenuItem* item : menu->items()) {
                const auto* action =
                    view->findChild<QAction*>(QString::fromStdString(item->name()));
                if (action && !action->isSeparator() && action->isEnabled())
                    names.push_back(action->text().remove(QLatin1Char('&')).toStdString());
            }
        }
        return names;
    }

    std::unique_ptr<MainView> view;
};

TEST_F(MainViewTest, menuShowsTheModelsStatesAfterStartUpAndAfterReadGrid) {
    EXPECT_EQ(enabledCommands(), (std::vector<std::string>{"Read Log File", "Read Grid", "Exit",
                                                           "Configuration", "Help", "About"}));
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Cuemark PostProcessor"));

    ui.queueFile(GridSample);
    widget<QAction>("mnuReadGrid")->trigger();
    EXPECT_EQ(enabledCommands(),
              (std::vector<std::string>{"Write HTM, RAM, RAE", "Write HTM Files", "Write RAM FIles",
                                        "Write RAE File", "Read Grid", "Save Grid", "Exit",
                                        "Configuration", "Help", "About"}));
    auto* table = widget<QTableWidget>("Grid1");
    EXPECT_EQ(table->item(1, 5)->text(), QStringLiteral("Costs, risks, \"plans\""));
    EXPECT_EQ(table->item(2, 3)->text(), QStringLiteral("00:04:15"));
    EXPECT_EQ(table->horizontalHeaderItem(4)->text(), QStringLiteral("IMG URL"));
    EXPECT_EQ(widget<QLineEdit>("txtLogFile")->text(), QStringLiteral("C:\\Talks\\q3log.txt"));
}

TEST_F(MainViewTest, typedTextsAndUpdateReachTheModelAndComeBackInTheGrid) {
    typeInto(widget<QLineEdit>("txtSlideLength"), QStringLiteral("00:01:00"));
    EXPECT_EQ(main->txtSlideLength.Text, "00:01:00");
    EXPECT_EQ(state("EditorTyped"), "false");

    // Keys in the title go through the model's key-press handler; text goes back as UTF-8.
    typeInto(widget<QLineEdit>("txtSlideTitle"), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(state("EditorTyped"), "true");
    EXPECT_EQ(main->txtSlideTitle.Text, "Caf\xc3\xa9");

    widget<QPushButton>("cmdUpdate")->click();
    EXPECT_EQ(main->schedule().RowCount(), 1);
    auto* table = widget<QTableWidget>("Grid1");
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("00:01:00"));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("00:01:00"));
    EXPECT_EQ(table->item(0, 5)->text(), QStringLiteral("Caf\u00e9"));
    // The editor moved on to row 2.
    EXPECT_EQ(widget<QLineEdit>("txtLineNum")->text(), QStringLiteral("2"));
    EXPECT_EQ(table->currentRow(), 1);
}

TEST_F(MainViewTest, typingKeepsTheUntouchedBytesOfAnEightBitText) {
    main->txtSlideTitle.Text = "Caf\xe9 \x93quoted\x94";
    main->txtIMGURL.Text = "caf\xc3\xa9.jpg";
    main->txtSlideLength.Text = "00:01:00";
    view->binder().sync();

    // The title goes through the key-press handler, the URL field does not.
    appendTo(widget<QLineEdit>("txtSlideTitle"), QStringLiteral(" \u00e9"));
    EXPECT_EQ(main->txtSlideTitle.Text, "Caf\xe9 \x93quoted\x94 \xe9");
    auto* url = widget<QLineEdit>("txtIMGURL");
    url->setCursorPosition(4);
    pressKeys(url, QStringLiteral("\u00e9"));
    EXPECT_EQ(main->txtIMGURL.Text, "caf\xc3\xa9\xc3\xa9.jpg");

    widget<QPushButton>("cmdUpdate")->click();
    EXPECT_EQ(main->Grid1.TextMatrix(1, ScheduleColumn::Title), "Caf\xe9 \x93quoted\x94 \xe9");
}

TEST_F(MainViewTest, clickOnAGridRowLoadsItIntoTheEditor) {
    ui.queueFile(GridSample);
    widget<QAction>("mnuReadGrid")->trigger();
    clickCell(widget<QTableWidget>("Grid1"), 2, 4);
    EXPECT_EQ(main->Grid1.Row, 3);
    EXPECT_EQ(widget<QLineEdit>("txtLineNum")->text(), QStringLiteral("3"));
    EXPECT_EQ(widget<QLineEdit>("txtSlideTitle")->text(), QStringLiteral("BREAK"));
    EXPECT_EQ(widget<QLineEdit>("txtSlideLength")->text(), QStringLiteral("00:00:45"));
}

TEST_F(MainViewTest, leavingAFieldRunsItsCheck) {
    view->activateWindow();
    QApplication::processEvents();
    auto* tapeEarly = widget<QLineEdit>("txtTapeEarly");
    tapeEarly->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(main->focus(), &main->txtTapeEarly);
    typeInto(tapeEarly, QStringLiteral("soon"));

    // To another field, and from there to a control that is no field.
    widget<QLineEdit>("txtTapeLate")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Not a Valid Date"});
    EXPECT_EQ(main->focus(), &main->txtTapeLate);
    EXPECT_EQ(tapeEarly->text(), QStringLiteral("soon"));

    typeInto(widget<QLineEdit>("txtTapeLate"), QStringLiteral("late"));
    widget<QTableWidget>("Grid1")->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"Not a Valid Date", "Not a Valid Date"}));
    EXPECT_EQ(main->focus(), nullptr);
}

// As in the script runner: a command, a click and the close box each take the focus from
// the field first, so its check shows before anything the command shows, and only once.
TEST_F(MainViewTest, commandsRunTheFocusedFieldsCheckFirstAndOnce) {
    updateRow(1, "00:00:10", "", ""); // so Exit and the close box ask "Save Grid?"
    view->activateWindow();
    QApplication::processEvents();
    auto* tapeEarly = widget<QLineEdit>("txtTapeEarly");
    tapeEarly->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    typeInto(tapeEarly, QStringLiteral("soon"));

    ui.queueAnswer(Mb::OK);
    ui.queueAnswer(Mb::Cancel);
    widget<QAction>("mnuExit")->trigger();
    // As the menu closes, Qt hands the field its focus back; the operator moved nothing.
    QFocusEvent back(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(tapeEarly, &back);
    QApplication::processEvents();
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"Not a Valid Date", "Save Grid?"}));
    EXPECT_EQ(main->focus(), nullptr);
    EXPECT_TRUE(tapeEarly->hasFocus());

    // Typing into the field again makes it the focused field once more.
    appendTo(tapeEarly, QStringLiteral("er"));
    EXPECT_EQ(main->focus(), &main->txtTapeEarly);
    ui.queueAnswer(Mb::OK);
    ui.queueAnswer(Mb::Cancel);
    EXPECT_FALSE(view->close());
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"Not a Valid Date", "Save Grid?",
                                                       "Not a Valid Date", "Save Grid?"}));

    // A mouse press moves Qt's focus to a button before its click; the focus-out Qt
    // reports after the click finds the field already checked.
    ui.clearEvents();
    appendTo(tapeEarly, QStringLiteral("!"));
    auto* fill = widget<QPushButton>("cmdAudioURL");
    fill->setFocus(Qt::MouseFocusReason);
    fill->click();
    QApplication::processEvents();
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Not a Valid Date"});
    EXPECT_EQ(main->focus(), nullptr);
}

// A shortcut or a programmatic trigger reaches an action Qt still enables; the window's
// own rules refuse it while its menu is off, as every desktop's click does.
TEST_F(MainViewTest, aCommandUnderADisabledMenuRunsNothing) {
    ui.clearEvents();
    main->mnuFile.Enabled = false;
    view->binder().sync();
    auto* readLog = widget<QAction>("mnuRdLog");
    ASSERT_TRUE(readLog->isEnabled());
    readLog->trigger();
    EXPECT_TRUE(ui.events.empty());
    main->mnuFile.Enabled = true;
    readLog->trigger();
    EXPECT_FALSE(ui.events.empty());
}

// The L button takes whatever its field holds, the operator's own edit included. The two
// show beside row 1 of a log read again with its resume file.
TEST_F(MainViewTest, anEditedFirstRowAlternativeIsWhatItsButtonUses) {
    const std::string log = writeFile("q3.txt", readFile(CUE_SOURCE_DIR "/tests/samples/q3.txt"));
    writeFile("q3.urs", "C:\\Talks\\q3.txt\r\npnm://audio.cuemark.example/q3.ra\r\n"
                        "http://www.cuemark.example/q3/\r\n 6.94444444444444E-05 \r\n");
    ui.queueFile(log);
    widget<QAction>("mnuRdLog")->trigger();
    ASSERT_TRUE(main->cmd1LogTIme.Visible);
    typeInto(widget<QLineEdit>("txt1LogTIme"), QStringLiteral("00:02:30"));
    EXPECT_EQ(main->txt1LogTIme.Text, "00:02:30");
    widget<QPushButton>("cmd1LogTIme")->click();
    EXPECT_EQ(main->Grid1.TextMatrix(1, ScheduleColumn::Length), "00:02:30");
}

TEST_F(MainViewTest, closeBoxStoresThePositionAndHonoursCancel) {
    int closedSignals = 0;
    QObject::connect(view.get(), &MainView::closed, [&] { ++closedSignals; });
    updateRow(1, "00:00:10", "", ""); // so closing asks "Save Grid?"
    view->move(150, 90);
    QApplication::processEvents();

    ui.queueAnswer(Mb::Cancel);
    EXPECT_FALSE(view->close());
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(main->isClosed());
    EXPECT_EQ(GetNumberSetting(settings, "CuemarkPost", "MainWindow", "Left", -1),
              Twips::fromPixelsX(150));
    EXPECT_EQ(GetNumberSetting(settings, "CuemarkPost", "MainWindow", "Top", -1),
              Twips::fromPixelsY(90));
    EXPECT_EQ(closedSignals, 0);

    // Exit from the menu closes the view once the model has unloaded.
    ui.queueAnswer(Mb::No);
    widget<QAction>("mnuExit")->trigger();
    EXPECT_TRUE(main->isClosed());
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(closedSignals, 1);
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"Save Grid?", "Save Grid?"}));
}

struct ConfigViewTest : ::testing::Test, MainFixture {
    FaultBoxCloser faultBoxCloser;

    void SetUp() override {
        start();
        config =
            std::make_unique<FrmConfig>(ui, settings, program, main->txtAudioURL, main->txtHTMURL);
        config->load();
        view = std::make_unique<ConfigView>(*config);
        view->show();
        QApplication::processEvents();
    }

    QLineEdit* field(const char* name) const {
        return view->findChild<QLineEdit*>(QString::fromLatin1(name));
    }

    std::unique_ptr<FrmConfig> config;
    std::unique_ptr<ConfigView> view;
};

TEST_F(ConfigViewTest, showsStoredValuesAndCancelClosesWithoutStoring) {
    const UrlSettings before = UrlSettings::load(settings);
    EXPECT_EQ(field("txtIMGPath")->text(), QString::fromStdString(before.IMGPath));
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Cuemark Initial Configuration"));

    typeInto(field("txtAudioURL"), QStringLiteral("pnm://elsewhere/talk.ra"));
    EXPECT_EQ(config->txtAudioURL.Text, "pnm://elsewhere/talk.ra");
    view->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    EXPECT_TRUE(config->isClosed());
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(UrlSettings::load(settings).AudioURL, before.AudioURL);
}

TEST_F(ConfigViewTest, escapeAfterAnEditAsksAndStaysOpenOnCancel) {
    typeInto(field("txtHTMURL"), QStringLiteral("http://elsewhere/"));
    ui.queueAnswer(Mb::Cancel);
    view->reject();
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(config->isClosed());

    ui.queueAnswer(Mb::OK);
    view->reject();
    EXPECT_FALSE(view->isVisible());
    EXPECT_TRUE(config->isClosed());
    EXPECT_EQ(ui.boxTexts(),
              (std::vector<std::string>{"Exit Without Saving?", "Exit Without Saving?"}));
}

// Every control a view shows answers in What's This mode.
void expectHelpForEveryControl(const Window& window, const QWidget& view) {
    for (const Control* control : window.controls()) {
        const auto* item = dynamic_cast<const MenuItem*>(control);
        if (dynamic_cast<const Timer*>(control) || (item && item->isSeparator()))
            continue;
        const QString name = QString::fromStdString(control->name());
        QString help;
        if (item) {
            const auto* action = view.findChild<QAction*>(name);
            ASSERT_NE(action, nullptr) << control->name();
            help = action->whatsThis();
        } else {
            const auto* widget = view.findChild<QWidget*>(name);
            ASSERT_NE(widget, nullptr) << control->name();
            help = widget->whatsThis();
        }
        EXPECT_FALSE(help.isEmpty()) << window.name() << " " << control->name();
    }
}

TEST(WhatsThis, everyControlOfTheThreeWindowsHasHelp) {
    MainFixture f;
    f.start();
    const MainView mainView(*f.main);
    expectHelpForEveryControl(*f.main, mainView);

    About about(f.ui, f.program);
    about.load();
    const AboutView aboutView(about);
    expectHelpForEveryControl(about, aboutView);

    FrmConfig config(f.ui, f.settings, f.program, f.main->txtAudioURL, f.main->txtHTMURL);
    config.load();
    const ConfigView configView(config);
    expectHelpForEveryControl(config, configView);
}

TEST(WhatsThis, everyControlOfTheLoggerWindowHasHelp) {
    LoggerFixture f;
    const LoggerView view(*f.form);
    f.start();
    expectHelpForEveryControl(*f.form, view);
}

// The logger's window shows itself during start-up, before the log dialog, and its
// QTimer polls while Timer1 is enabled.
TEST(LoggerViewTest, showsBeforeTheLogDialogAndPollsThroughItsTimer) {
    LoggerFixture f;
    LoggerView view(*f.form);
    bool shownAtDialog = false;
    f.ui.onEvent = [&](const UiEvent& e) {
        if (e.kind == UiEvent::Kind::FileDialog)
            shownAtDialog = view.isVisible();
    };
    f.start();
    view.showModel();
    EXPECT_TRUE(shownAtDialog);
    auto* timer = view.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 500);

    f.ppt.startShow(2);
    f.clock.set(10, 0, 5);
    QEventLoop poll;
    QTimer::singleShot(timer->interval() + 100, &poll, &QEventLoop::quit);
    poll.exec();
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("lblPPTFile"))->text(),
              QStringLiteral("C:\\Talks\\q3.ppt"));
    EXPECT_EQ(f.beeps, 1);
    // End Log disables the timer while its question is up; Cancel enables it again.
    f.ui.queueAnswer(Mb::Cancel);
    view.findChild<QPushButton*>(QStringLiteral("cmdEnd"))->click();
    EXPECT_TRUE(timer->isActive());
    EXPECT_FALSE(f.form->isClosed());
}

TEST(AboutViewTest, splashTimerRunsWhileTheModelAsksForIt) {
    MainFixture f;
    f.program.SplashMode = true;
    About about(f.ui, f.program);
    about.load();
    AboutView view(about);
    auto* timer = view.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_TRUE(view.findChild<QPushButton*>(QStringLiteral("Command1"))->isHidden());
    // Enter presses the model's default button.
    EXPECT_TRUE(view.findChild<QPushButton*>(QStringLiteral("Command1"))->isDefault());
}

} // namespace

namespace {

// Each menu's access keys, unique among its items, over the captions the model fixes, and
// the usual shortcuts where a command fits.
void checkMenuKeys(QMenuBar* bar, const Window& window,
                   const std::vector<std::pair<const char*, const char*>>& shortcuts) {
    const auto checkSiblings = [&window](const QList<QAction*>& actions) {
        QString keys;
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            const QString text = action->text();
            const qsizetype marker = text.indexOf(QLatin1Char('&'));
            ASSERT_GE(marker, 0) << text.toStdString();
            const QChar key = text.at(marker + 1).toLower();
            EXPECT_FALSE(keys.contains(key)) << text.toStdString();
            keys += key;
            const Control* control = window.control(action->objectName().toStdString());
            ASSERT_NE(control, nullptr) << action->objectName().toStdString();
            EXPECT_EQ(QString(text).remove(marker, 1).toStdString(),
                      static_cast<const MenuItem*>(control)->Caption);
        }
    };
    checkSiblings(bar->actions());
    for (QAction* menuAction : bar->actions())
        checkSiblings(menuAction->menu()->actions());
    for (const auto& [name, keys] : shortcuts) {
        auto* action = bar->window()->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(keys))) << name;
    }
}

TEST(MenuKeys, eachMenuHasAccessKeysAndTheUsualShortcuts) {
    MainFixture main;
    main.start();
    MainView mainView(*main.main);
    checkMenuKeys(mainView.menuBar(), *main.main,
                  {{"mnuRdLog", "Ctrl+O"},
                   {"mnuSaveGrid", "Ctrl+S"},
                   {"mnuExit", "Ctrl+Q"},
                   {"mnuHelp", "F1"},
                   {"mnuReadGrid", ""}});
    // The model's dump keeps the fixed captions.
    EXPECT_EQ(main.main->mnuExit.Caption, "Exit");

    LoggerFixture logger;
    LoggerView loggerView(*logger.form);
    checkMenuKeys(loggerView.menuBar(), *logger.form,
                  {{"mnuOpenLog", "Ctrl+O"}, {"mnuExit", "Ctrl+Q"}, {"mnuHelp", "F1"}});
}

// The post-processor's main window needs more than the offscreen screen's 800 x 600: it
// opens wholly on the screen, its content scrolls, and the model places it by the size it
// really has.
TEST(WindowFit, aWindowLargerThanTheScreenStaysOnItAndScrolls) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* stored : {"", "5000"}) {
        ProgramRegistry programs;
        registerCuebuild(programs);
        MemorySettingsStore settings;
        if (*stored) {
            settings.SaveSetting("CuemarkPost", "MainWindow", "Left", stored);
            settings.SaveSetting("CuemarkPost", "MainWindow", "Top", stored);
        }
        QtProgramRun run(*programs.find("cuebuild"), settings, CUE_RUNTIME_DIR);
        ASSERT_TRUE(run.start());
        QWidget* view = run.view();
        QApplication::processEvents();
        EXPECT_TRUE(screen.contains(view->frameGeometry()))
            << stored << " " << view->frameGeometry().width() << "x"
            << view->frameGeometry().height() << "+" << view->frameGeometry().x() << "+"
            << view->frameGeometry().y() << " on " << screen.width() << "x" << screen.height();
        auto* area = view->findChild<QScrollArea*>();
        ASSERT_NE(area, nullptr);
        // Whichever way the content does not fit, it scrolls.
        const QSize content = area->widget()->minimumSizeHint();
        const QSize shown = area->viewport()->size();
        EXPECT_TRUE(content.width() > shown.width() || content.height() > shown.height());
        if (content.width() > shown.width()) {
            EXPECT_GT(area->horizontalScrollBar()->maximum(), 0) << stored;
        }
        if (content.height() > shown.height()) {
            EXPECT_GT(area->verticalScrollBar()->maximum(), 0) << stored;
        }
        EXPECT_GE(run.mainWindow().Height, Twips::fromPixelsY(view->height())) << stored;
        view->close();
    }
}

} // namespace
