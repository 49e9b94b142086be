#include "forms/window.h"
#include "testing/scriptedui.h"

#include <gtest/gtest.h>

TEST(MessageBox, aBoxWithoutAQueuedAnswerTakesItsDefaultButton) {
    struct Case {
        int style;
        int answer;
    };
    const Case cases[] = {
        {Mb::OKOnly, Mb::OK},
        {Mb::OKCancel, Mb::OK},
        {Mb::OKCancel + Mb::DefaultButton2, Mb::Cancel}, // 257
        {Mb::YesNoCancel, Mb::Yes},
        {Mb::YesNo + Mb::DefaultButton2, Mb::No}, // 260
        {Mb::OKOnly + Mb::Exclamation, Mb::OK},   // 48
        {Mb::OKCancel + Mb::Exclamation + Mb::DefaultButton2, Mb::Cancel},
    };
    for (const Case& c : cases) {
        ScriptedUi ui("Program");
        EXPECT_EQ(ui.MsgBox("?", c.style, "T"), c.answer) << c.style;
    }
}

TEST(MessageBox, recordsTextStyleAndTheTitleShown) {
    ScriptedUi ui("Cuemark PostProcessor");
    ui.queueAnswer(Mb::Cancel);
    EXPECT_EQ(ui.MsgBox("Save Grid?", Mb::YesNoCancel), Mb::Cancel);
    ui.MsgBox("No Data", Mb::OKOnly, "No Data");
    ASSERT_EQ(ui.events.size(), 2u);
    EXPECT_EQ(ui.events[0].title, "Cuemark PostProcessor");
    EXPECT_EQ(ui.events[0].style, 3);
    EXPECT_EQ(ui.events[1].title, "No Data");
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"Save Grid?", "No Data"}));
}

TEST(FileDialog, answersFromTheQueueAndKeepsTheLastChoice) {
    ScriptedUi ui("P");
    CommonDialog dialog;
    dialog.FileName = "C:\\logs\\talk.txt";
    ui.queueCancel();
    EXPECT_FALSE(ui.ShowFileDialog(dialog, FileDialogKind::Save));
    EXPECT_EQ(dialog.FileName, "C:\\logs\\talk.txt");
    ui.queueFile("/tmp/grid.txt");
    EXPECT_TRUE(ui.ShowFileDialog(dialog, FileDialogKind::Open));
    EXPECT_EQ(dialog.FileName, "/tmp/grid.txt");
    EXPECT_FALSE(ui.ShowFileDialog(dialog, FileDialogKind::Open)); // nothing queued: cancel
}

namespace {
struct Splash : Window {
    Splash() : Window("Splash") {
        Timer1.Tick = [this] {
            ticks++;
            Unload();
        };
    }
    Timer Timer1{this, "Timer1", 1000, true};
    int ticks = 0;
};
} // namespace

TEST(ModalWindow, aTickingWindowClosesByItsTimerAndOthersByTheCloseBox) {
    ScriptedUi ui("P");
    Splash splash;
    ui.ShowModal(splash);
    EXPECT_TRUE(splash.isClosed());
    EXPECT_EQ(splash.ticks, 1);

    Splash still;
    still.Timer1.Enabled = false;
    ui.ShowModal(still);
    EXPECT_TRUE(still.isClosed());
    EXPECT_EQ(still.ticks, 0);
}

TEST(MessageBox, aQueuedAnswerThatFitsNoButtonIsAFaultOfTheScript) {
    struct Case {
        int style;
        int answer;
        bool fits;
    };
    const Case cases[] = {
        {Mb::OKOnly, Mb::OK, true},           {Mb::OKOnly, Mb::Cancel, false},
        {Mb::OKCancel + 256, Mb::Yes, false}, {Mb::OKCancel + 256, Mb::Cancel, true},
        {Mb::YesNoCancel, Mb::Cancel, true},  {Mb::YesNoCancel, Mb::OK, false},
        {Mb::YesNo + 256, Mb::Cancel, false}, {Mb::YesNo + 256, Mb::No, true},
    };
    for (const Case& c : cases) {
        ScriptedUi ui("P");
        ui.queueAnswer(c.answer);
        if (c.fits)
            EXPECT_EQ(ui.MsgBox("?", c.style), c.answer) << c.style << " " << c.answer;
        else
            EXPECT_THROW(ui.MsgBox("?", c.style), UnfitAnswer) << c.style << " " << c.answer;
    }
}
