// The loggers' COM binding against the substitute presentation program served out of
// process (pptserver.exe), as the loggers bind PowerPoint on Windows.
#include "comserverfixture.h"

#include "logger/comautomation.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Every member of the call table in the order a logger calls them, for both builds at
// once: one server process answers both class names and shares one show.
TEST(ComBinding, bothVersionsAnswerEveryMemberTheLoggersCallFromTheScriptedShow) {
    ComServer server;
    ASSERT_EQ(server.registerAs("both", "presentation C:\\Talks\\q3, final.ppt\n"
                                        "slide Welcome\n"
                                        "slide Agenda, week 2\n"
                                        "slide\n"
                                        "untitled\n"
                                        "slide Caf\xe9 cr\xe8me\n"
                                        "step 2 start 1\n"
                                        "step 1 goto 3\n"
                                        "step 1 goto 2\n"
                                        "step 1 end\n"
                                        "step 1 start 4\n"),
              0);
    const AutomationFactory create = comAutomationFactory();
    const AutomationRef app8 = create("PowerPoint.Application.8");
    const AutomationRef app7 = create("PowerPoint.Application.7");

    // Making the program visible and zooming it: the application (8) or its AppWindow (7).
    app8->put("Visible", true);
    app8->put("WindowState", std::int32_t(3));
    EXPECT_TRUE(std::get<bool>(app8->get("Visible")));
    EXPECT_EQ(asInt32(app8->get("WindowState")), 3);
    const AutomationRef appWindow = asObject(app7->get("AppWindow"));
    appWindow->put("WindowState", std::int32_t(1));
    EXPECT_EQ(asInt32(appWindow->get("WindowState")), 1);

    const AutomationRef windows = asObject(app8->get("SlideShowWindows"));
    auto slideOf = [](const AutomationRef& window) {
        return asObject(asObject(window->get("View"))->get("Slide"));
    };
    EXPECT_EQ(asInt32(windows->get("Count")), 0); // poll 1: no show yet
    ASSERT_EQ(asInt32(windows->get("Count")), 1); // poll 2: the show starts at slide 1
    const AutomationRef window = asObject(windows->get("", {std::int16_t(1)}));
    EXPECT_EQ(asInt16(slideOf(window)->get("SlideIndex")), 1);
    EXPECT_EQ(asInt16(slideOf(window)->get("SlideNumber")), 1);

    // The presentation's path and every slide's title through each build's chain; text
    // keeps its 8-bit bytes both ways.
    const AutomationRef presentation8 = asObject(app8->get("ActivePresentation"));
    const AutomationRef presentation7 = asObject(app7->get("ActivePresentation"));
    EXPECT_EQ(asText(presentation8->get("FullName")), "C:\\Talks\\q3, final.ppt");
    EXPECT_EQ(asText(presentation7->get("PathName")), "C:\\Talks\\q3, final.ppt");
    struct TitleCase {
        std::int16_t slide;
        std::string title; // or the error the chain ends in
    };
    const std::vector<TitleCase> titles = {
        {1, "Welcome"},
        {2, "Agenda, week 2"},
        {3, ""},
        {4, "This slide has no title placeholder"},
        {5, "Caf\xe9 cr\xe8me"},
        {6, "Slides : Integer out of range"},
    };
    for (const PowerPointVersion* version : {&PowerPoint7, &PowerPoint8}) {
        const AutomationRef presentation = version->number == 7 ? presentation7 : presentation8;
        for (const TitleCase& c : titles) {
            SCOPED_TRACE(std::to_string(version->number) + ": slide " + std::to_string(c.slide));
            std::string title;
            try {
                AutomationValue link = presentation->get("Slides", {c.slide});
                for (int i = 0; i < version->titleChainLength(); ++i)
                    link = asObject(link)->get(version->titleChain[i]);
                title = asText(link);
            } catch (const AutomationError& e) {
                title = e.what();
            }
            EXPECT_EQ(title, c.title);
        }
    }

    // The show moves back and forth, ends (the window held dies) and starts again.
    EXPECT_EQ(asInt32(windows->get("Count")), 1);
    EXPECT_EQ(asInt16(slideOf(window)->get("SlideNumber")), 3);
    EXPECT_EQ(asInt32(windows->get("Count")), 1);
    EXPECT_EQ(asInt16(slideOf(window)->get("SlideNumber")), 2);
    EXPECT_EQ(asInt32(windows->get("Count")), 0);
    EXPECT_THROW(window->get("View"), AutomationError);
    EXPECT_EQ(asInt32(windows->get("Count")), 1);
    const AutomationRef again = asObject(windows->get("", {std::int16_t(1)}));
    EXPECT_EQ(asInt16(slideOf(again)->get("SlideNumber")), 4);

    // A member the server does not have is refused by name.
    try {
        app8->get("ActiveWindow");
        ADD_FAILURE() << "an unknown member answered";
    } catch (const AutomationError& e) {
        EXPECT_STREQ(e.what(), "Object doesn't support this property or method: ActiveWindow");
    }
}

// No server registered, then the version-free name alone: the loggers' own binding
// decides which build may bind it.
TEST(ComBinding, theVersionFreeNameServesOnlyTheBuildThatDrivesItsVersion) {
    const std::string cannotCreate = "ActiveX component can't create object";
    ComServer server;
    server.unregister();
    struct Case {
        const PowerPointVersion& build;
        std::string registered; // how the server is registered; empty: not at all
        std::string version;
        std::string error; // empty: bound, and the presentation's path read
    };
    const std::vector<Case> cases = {
        {PowerPoint8, "", "", cannotCreate},
        {PowerPoint7, "", "", cannotCreate},
        {PowerPoint8, "free", "16.0", ""},
        {PowerPoint7, "free", "16.0",
         "PowerPoint.Application.7 is not installed, and the PowerPoint.Application found "
         "(version 16.0) cannot be driven by this logger."},
        {PowerPoint7, "free", "7.0", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.build.className) + " with \"" + c.registered + "\" " +
                     c.version);
        if (!c.registered.empty())
            ASSERT_EQ(server.registerAs(c.registered, "version " + c.version +
                                                          "\npresentation C:\\q.ppt\nslide A\n"),
                      0);
        // The binding alone never takes another name.
        try {
            comAutomationFactory()(c.build.className);
            ADD_FAILURE() << "bound a name that is not registered";
        } catch (const AutomationClassMissing& e) {
            EXPECT_EQ(e.what(), cannotCreate);
        }
        try {
            const AutomationRef app =
                withVersionFreeName(comAutomationFactory(), c.build)(c.build.className);
            const AutomationRef presentation = asObject(app->get("ActivePresentation"));
            EXPECT_EQ(asText(presentation->get(c.build.pathProperty)), "C:\\q.ppt");
            EXPECT_EQ(c.error, "");
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.what(), c.error);
        }
        server.unregister();
    }
}

// A spell shorter than the binding's patience is ridden out within the call; a longer one
// fails the call as busy, and the server answers again once it is over. A killed server
// is gone: only then does a logger bind again.
TEST(ComBinding, aBusyServerIsAskedAgainAndOnlyAKilledOneIsGone) {
    ComServer server;
    ASSERT_EQ(server.registerAs("8", "presentation C:\\q.ppt\nslide A\n"
                                     "step 1 busy 100\nstep 1 busy 1500\n"),
              0);
    const AutomationRef windows =
        asObject(comAutomationFactory()("PowerPoint.Application.8")->get("SlideShowWindows"));
    const auto count = [&windows]() -> std::string {
        try {
            return "count " + std::to_string(asInt32(windows->get("Count")));
        } catch (const AutomationError& e) {
            const char* kinds[] = {"refused", "busy", "gone"};
            return std::string(kinds[static_cast<int>(e.kind())]) + ": " + e.what();
        }
    };
    EXPECT_EQ(count(), "count 0"); // the short spell begins
    EXPECT_EQ(count(), "count 0"); // ridden out; the long spell begins
    EXPECT_EQ(count().rfind("busy: ", 0), 0u);
    Sleep(2000);
    EXPECT_EQ(count(), "count 0");
    server.kill();
    EXPECT_EQ(count().rfind("gone: ", 0), 0u) << count();
}

} // namespace
