#include "forms/programregistry.h"
#include "gui/modeltext.h"
#include "gui/qtuiservices.h"
#include "schedule/cuebuildprogram.h"

#include "forms/about.h"
#include "forms/program.h"
#include "testing/scriptedui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using SB = QMessageBox::StandardButton;

struct StyleCase {
    int style;
    std::vector<SB> buttons; // in the order shown
    SB defaultButton;
    QMessageBox::Icon icon;
    int escapeResult;
};

TEST(QtMessageBox, styleSumsGiveButtonsDefaultIconAndEscape) {
    const std::vector<StyleCase> cases = {
        {Mb::OKOnly, {SB::Ok}, SB::Ok, QMessageBox::NoIcon, Mb::OK},
        {Mb::OKCancel, {SB::Ok, SB::Cancel}, SB::Ok, QMessageBox::NoIcon, Mb::Cancel},
        {Mb::OKCancel + Mb::DefaultButton2,
         {SB::Ok, SB::Cancel},
         SB::Cancel,
         QMessageBox::NoIcon,
         Mb::Cancel},
        {Mb::YesNoCancel, {SB::Yes, SB::No, SB::Cancel}, SB::Yes, QMessageBox::NoIcon, Mb::Cancel},
        {Mb::YesNoCancel + Mb::DefaultButton2,
         {SB::Yes, SB::No, SB::Cancel},
         SB::No,
         QMessageBox::NoIcon,
         Mb::Cancel},
        {Mb::YesNo, {SB::Yes, SB::No}, SB::Yes, QMessageBox::NoIcon, Mb::No},
        {Mb::YesNo + Mb::Exclamation + Mb::DefaultButton2,
         {SB::Yes, SB::No},
         SB::No,
         QMessageBox::Warning,
         Mb::No},
        {Mb::OKOnly + Mb::Exclamation, {SB::Ok}, SB::Ok, QMessageBox::Warning, Mb::OK},
        // A second default on a one-button box has nothing to point at.
        {Mb::OKOnly + Mb::DefaultButton2, {SB::Ok}, SB::Ok, QMessageBox::NoIcon, Mb::OK},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.style);
        const auto box = makeMessageBox(QStringLiteral("Text"), c.style, QStringLiteral("Title"));
        const QList<QAbstractButton*> shown = box->buttons();
        ASSERT_EQ(shown.size(), static_cast<qsizetype>(c.buttons.size()));
        for (SB expected : c.buttons)
            EXPECT_NE(box->button(expected), nullptr);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(resultOf(*box, nullptr), c.escapeResult);
        // The default button gives what the scripted double answers unprompted.
        EXPECT_EQ(resultOf(*box, box->defaultButton()), Mb::defaultAnswer(c.style));
    }
}

TEST(QtMessageBox, eachButtonMapsToItsResult) {
    const auto box = makeMessageBox(QStringLiteral("Text"), Mb::YesNoCancel, QString());
    EXPECT_EQ(resultOf(*box, box->button(SB::Yes)), Mb::Yes);
    EXPECT_EQ(resultOf(*box, box->button(SB::No)), Mb::No);
    EXPECT_EQ(resultOf(*box, box->button(SB::Cancel)), Mb::Cancel);
    const auto okBox = makeMessageBox(QStringLiteral("Text"), Mb::OKCancel, QString());
    EXPECT_EQ(resultOf(*okBox, okBox->button(SB::Ok)), Mb::OK);
    EXPECT_EQ(resultOf(*okBox, okBox->button(SB::Cancel)), Mb::Cancel);
}

// Runs step on the modal window that the next call opens.
void whenModalOpens(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        step(modal);
    });
}

TEST(QtMessageBox, shownBoxTakesProgramTitleTextsAndAnswer) {
    QtUiServices ui("Cuemark PostProcessor");
    QString title;
    QString text;
    whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        box->button(SB::No)->click();
    });
    // Bytes that are not UTF-8 are shown in the 8-bit code page; CR LF breaks the line.
    EXPECT_EQ(ui.MsgBox("Caf\xe9\r\nSave Grid?", Mb::YesNoCancel), Mb::No);
    EXPECT_EQ(title, QStringLiteral("Cuemark PostProcessor"));
    EXPECT_EQ(text, QStringLiteral("Caf\u00e9\nSave Grid?"));

    whenModalOpens([&](QWidget* modal) {
        title = modal->windowTitle();
        modal->close();
    });
    EXPECT_EQ(ui.MsgBox("Not a Valid Date", Mb::OKOnly, "Date!"), Mb::OK);
    EXPECT_EQ(title, QStringLiteral("Date!"));
}

TEST(ModelTextTest, decodesUtf8ElseLatin1AndEncodesUtf8) {
    EXPECT_EQ(ModelText::toQt("Gr\xc3\xbc\xc3\x9f"), QStringLiteral("Gr\u00fc\u00df"));
    EXPECT_EQ(ModelText::toQt("Gr\xfc\xdf"), QStringLiteral("Gr\u00fc\u00df"));
    EXPECT_EQ(ModelText::fromQt(QStringLiteral("Gr\u00fc\u00df"), ""), "Gr\xc3\xbc\xc3\x9f");
    EXPECT_EQ(ModelText::caption("Save & Close"), QStringLiteral("Save && Close"));
}

TEST(ModelTextTest, anEditKeepsTheEncodingOfTheTextItChanges) {
    struct Case {
        std::string previous;
        QString added;
        std::string expected;
    };
    const Case cases[] = {
        {"Caf\xe9", QStringLiteral("!"), "Caf\xe9!"},
        {"Caf\xe9", QStringLiteral("\u00fc"), "Caf\xe9\xfc"},
        // A character outside the code page: the whole text becomes UTF-8.
        {"Caf\xe9", QStringLiteral("\u4e00"), "Caf\xc3\xa9\xe4\xb8\x80"},
        {"Caf\xc3\xa9", QStringLiteral("\u00fc"), "Caf\xc3\xa9\xc3\xbc"},
        {"Cafe", QStringLiteral("\u00e9"), "Cafe\xc3\xa9"},
        {"", QStringLiteral("\u00e9"), "\xc3\xa9"},
    };
    for (const Case& c : cases) {
        const QString edited = ModelText::toQt(c.previous) + c.added;
        EXPECT_EQ(ModelText::fromQt(edited, c.previous), c.expected) << c.previous;
    }

    // Every byte an 8-bit text can hold comes back as it was.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(ModelText::fromQt(ModelText::toQt(all), all), all);
}

TEST(ModelTextTest, eightBitTextShowsTheWindowsCodePage) {
    if (!QStringDecoder("windows-1252").isValid())
        GTEST_SKIP() << "this Qt has no windows-1252 converter";
    const std::string quoted = "\x93quoted\x94 \x96 caf\xe9";
    const QString shown = QStringLiteral("\u201cquoted\u201d \u2013 caf\u00e9");
    EXPECT_EQ(ModelText::toQt(quoted), shown);
    EXPECT_EQ(ModelText::fromQt(shown + QStringLiteral("\u2014"), quoted), quoted + "\x97");
}

TEST(QtFileDialog, filterPairsBecomeQtNameFilters) {
    EXPECT_EQ(nameFiltersOf("Text Files (*.txt)|*.txt"),
              QStringList{QStringLiteral("Text Files (*.txt)")});
    EXPECT_EQ(nameFiltersOf("exe files (*.exe)|*.exe|All|*.*"),
              (QStringList{QStringLiteral("exe files (*.exe)"), QStringLiteral("All (*.*)")}));
    EXPECT_EQ(nameFiltersOf("Pictures|*.gif;*.jpg"),
              QStringList{QStringLiteral("Pictures (*.gif *.jpg)")});
    EXPECT_TRUE(nameFiltersOf("").isEmpty());
}

TEST(QtFileDialog, dialogStartsFromLastNameWithTitleFilterAndMode) {
    QTemporaryDir dir;
    CommonDialog dialog;
    dialog.DialogTitle = "Read Grid";
    dialog.Filter = "Logs (*.log)|*.log|Text Files (*.txt)|*.txt";
    dialog.FilterIndex = 2;
    dialog.FileName = dir.filePath(QStringLiteral("lecture.txt")).toStdString();

    const auto open = makeFileDialog(dialog, FileDialogKind::Open);
    EXPECT_EQ(open->windowTitle(), QStringLiteral("Read Grid"));
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(open->selectedNameFilter(), QStringLiteral("Text Files (*.txt)"));
    EXPECT_EQ(QDir(open->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());

    dialog.FilterIndex = 7; // out of range: the first filter
    const auto save = makeFileDialog(dialog, FileDialogKind::Save);
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(save->selectedNameFilter(), QStringLiteral("Logs (*.log)"));
}

TEST(QtFileDialog, openTakesATypedNameThatIsNoFile) {
    QTemporaryDir dir;
    QtUiServices ui("Cuemark PostProcessor");
    CommonDialog dialog;
    dialog.FileName = dir.filePath(QStringLiteral("old.txt")).toStdString();
    whenModalOpens([](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        box->selectFile(QStringLiteral("lecture"));
        static_cast<QDialog*>(box)->accept(); // as the Open button does
    });
    ASSERT_TRUE(ui.ShowFileDialog(dialog, FileDialogKind::Open));
    EXPECT_EQ(QFileInfo(QString::fromStdString(dialog.FileName)).fileName(),
              QStringLiteral("lecture"));
}

TEST(QtFileDialog, aChosenEightBitNameGivesBackItsOwnBytes) {
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/sub\xE9";
    const std::string file = folder + "/caf\xE9.txt";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    std::ofstream(file) << "x";
    // As the dialog lists it under a UTF-8 locale: each 8-bit byte shown replaced.
    const QString listed = QFile::decodeName(QByteArray::fromStdString(file));
    EXPECT_EQ(ModelText::pathFromQt(listed), file);
    // A new name typed into the save dialog is encoded as typed.
    const QString typed =
        QFile::decodeName(QByteArray::fromStdString(folder)) + QStringLiteral("/new \u00E9.txt");
    EXPECT_EQ(ModelText::pathFromQt(typed), folder + "/new \xC3\xA9.txt");
}

TEST(QtFileDialog, cancelLeavesFileNameAlone) {
    QtUiServices ui("Cuemark PostProcessor");
    CommonDialog dialog;
    dialog.FileName = "/nowhere/lecture.txt";
    whenModalOpens([](QWidget* modal) { modal->close(); });
    EXPECT_FALSE(ui.ShowFileDialog(dialog, FileDialogKind::Open));
    EXPECT_EQ(dialog.FileName, "/nowhere/lecture.txt");
}

TEST(QtHelp, viewerShowsHelpFileAtItsStart) {
    QtUiServices ui("Cuemark PostProcessor");
    CommonDialog dialog;
    dialog.HelpFile = CUE_RUNTIME_DIR "/cuebuild.hlp";
    dialog.HelpCommand = cdlHelpContents;
    ui.ShowHelp(dialog);
    QTextBrowser* viewer = ui.helpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("Tape Early")));
    EXPECT_EQ(viewer->textCursor().position(), 0);
    // A second call reuses the one viewer.
    ui.ShowHelp(dialog);
    EXPECT_EQ(ui.helpViewer(), viewer);
}

TEST(QtHelp, missingHelpFileIsReported) {
    QtUiServices ui("Cuemark PostProcessor");
    CommonDialog dialog;
    dialog.HelpFile = "/nowhere/cuebuild.hlp";
    QString text;
    whenModalOpens([&](QWidget* modal) {
        text = static_cast<QMessageBox*>(modal)->text();
        modal->close();
    });
    ui.ShowHelp(dialog);
    EXPECT_TRUE(text.contains(QStringLiteral("/nowhere/cuebuild.hlp"))) << text.toStdString();
    EXPECT_EQ(ui.helpViewer(), nullptr);
}

TEST(QtScreen, screenSizeInTwips) {
    QtUiServices ui("Cuemark PostProcessor");
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const double perPixel = 1440.0 / screen->logicalDotsPerInchX();
    EXPECT_NEAR(ui.ScreenWidth(), screen->geometry().width() * perPixel, 1.0);
    EXPECT_GT(ui.ScreenHeight(), 0);
}

TEST(QtBusy, busyPointerSetsAndRestoresTheCursor) {
    QtUiServices ui("Cuemark PostProcessor");
    {
        BusyPointer busy(ui);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtModal, splashClosesItselfAndMenuAboutWaitsForOk) {
    QtUiServices ui("Cuemark PostProcessor");
    Program program = cuebuildEntry().makeProgram(CUE_RUNTIME_DIR);
    program.SplashMode = true;
    {
        About splash(ui, program);
        ui.ShowModal(splash); // returns once the splash timer has closed it
        EXPECT_TRUE(splash.isClosed());
        EXPECT_FALSE(program.SplashMode);
    }

    About about(ui, program);
    bool okShown = false;
    whenModalOpens([&](QWidget* modal) {
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("Command1"));
        ASSERT_NE(ok, nullptr);
        okShown = ok->isVisible();
        ok->click();
    });
    ui.ShowModal(about);
    EXPECT_TRUE(okShown);
    EXPECT_TRUE(about.isClosed());
}

// The tool runs detached, with its arguments kept whole: blanks and shell characters in
// the folder and the names do not split or run anything.
TEST(QtProcess, startsAProgramDetachedWithAnArgumentList) {
    QtUiServices ui("Cuemark PostProcessor");
    QTemporaryDir dir;
    const QString folder = dir.filePath("talk; rm -rf x $(y)");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile list(folder + "/cevents.txt");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("u 00:00:00:00.0 00:00:00:29.9 http://w.example/sld001.htm\r\n");
    list.close();
    ASSERT_TRUE(ui.StartProcess(CUE_RUNTIME_DIR "/cevents",
                                {list.fileName().toStdString(), "my talk.rae"},
                                folder.toStdString()));
    const QString written = folder + "/my talk.rae";
    for (int wait = 0; wait < 100 && !QFileInfo::exists(written); ++wait)
        QThread::msleep(50);
    EXPECT_TRUE(QFileInfo::exists(written));
    EXPECT_FALSE(
        ui.StartProcess(dir.filePath("no such program").toStdString(), {}, folder.toStdString()));

    // A folder and an event file named in an 8-bit code page reach the tool as their bytes.
    const std::string eightBit = folder.toStdString() + "/caf\xE9";
    ASSERT_EQ(::mkdir(eightBit.c_str(), 0755), 0);
    ASSERT_EQ(::link(list.fileName().toLocal8Bit().constData(), (eightBit + "/l.txt").c_str()), 0);
    const StartResult started =
        ui.StartProcess(CUE_RUNTIME_DIR "/cevents", {"l.txt", "caf\xE9.rae"}, eightBit);
    EXPECT_TRUE(started) << started.reason;
    struct stat st {};
    const std::string eventFile = eightBit + "/caf\xE9.rae";
    for (int wait = 0; wait < 100 && ::stat(eventFile.c_str(), &st) != 0; ++wait)
        QThread::msleep(50);
    EXPECT_EQ(::stat(eventFile.c_str(), &st), 0);
    for (const std::string& name : {eventFile, eightBit + "/l.txt"})
        ::unlink(name.c_str());
    ::rmdir(eightBit.c_str());
}

} // namespace
