#include "forms/about.h"
#include "forms/program.h"
#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"
#include "testing/scriptedui.h"

#include <gtest/gtest.h>

namespace {

struct AboutFixture : ::testing::Test {
    ScriptedUi ui{"Cuemark PostProcessor"};
    Program program = cuebuildEntry().makeProgram("/opt/cuemark");
    About about{ui, program};
};

} // namespace

TEST_F(AboutFixture, splashHidesOkAndClosesItselfAtTheFirstTick) {
    program.SplashMode = true;
    int ticksToClose = 0;
    ui.onModal = [&](Window&) {
        EXPECT_FALSE(about.Command1.Visible);
        EXPECT_TRUE(about.Timer1.Enabled);
        EXPECT_EQ(about.Timer1.Interval, 1000);
        while (!about.isClosed() && ticksToClose < 5) {
            about.Timer1.Tick();
            ++ticksToClose;
        }
    };
    ui.ShowModal(about);
    EXPECT_EQ(ticksToClose, 1);
    EXPECT_TRUE(about.isClosed());
    EXPECT_FALSE(program.SplashMode);
}

TEST_F(AboutFixture, normalModeShowsOkAndStaysUntilOk) {
    about.load();
    EXPECT_EQ(about.Caption, "About");
    EXPECT_EQ(about.Label4.Caption, "Cuemark PostProcessor");
    EXPECT_EQ(about.Label3.Caption, "Version 1.0.2");
    EXPECT_FALSE(about.lblNotice.Caption.empty());
    EXPECT_TRUE(about.Command1.Visible);
    EXPECT_FALSE(about.Timer1.Enabled);

    // A tick that still arrives must not end a box the operator opened.
    about.Timer1.Tick();
    EXPECT_FALSE(about.isClosed());
    about.Command1.Click();
    EXPECT_TRUE(about.isClosed());
}

TEST_F(AboutFixture, centredByTheWholePartAndNeverOffTheTopLeft) {
    struct Case {
        int screenWidth, screenHeight, left, top;
    };
    const Case cases[] = {
        {about.Width + 2000, about.Height + 1000, 1000, 500},
        {about.Width + 2001, about.Height + 1001, 1000, 500},
        {about.Width - 1, about.Height - 1, 0, 0},
        {3000, 2000, 0, 0},
    };
    for (const Case& c : cases) {
        ui.screenWidth = c.screenWidth;
        ui.screenHeight = c.screenHeight;
        about.load();
        EXPECT_EQ(about.Left, c.left) << c.screenWidth;
        EXPECT_EQ(about.Top, c.top) << c.screenHeight;
    }
}
