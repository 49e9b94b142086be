#include "testing/substitutepowerpoint.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct Substitute {
    Substitute() {
        ppt.setDeck("C:\\Talks\\q3.ppt", {"Welcome", "", std::nullopt});
        app = ppt.factory()("PowerPoint.Application.8");
    }
    AutomationRef object(const AutomationRef& from, const std::string& member,
                         std::vector<AutomationValue> args = {}) {
        return asObject(from->get(member, args));
    }
    AutomationRef window() {
        return object(object(app, "SlideShowWindows"), "", {std::int16_t(1)});
    }
    std::string title(int slide, bool version8) {
        AutomationRef part =
            object(object(app, "ActivePresentation"), "Slides", {std::int16_t(slide)});
        if (!version8)
            return asText(object(object(part, "Objects"), "Title")->get("Text"));
        part = object(object(object(part, "Shapes"), "Title"), "TextFrame");
        return asText(object(part, "TextRange")->get("Text"));
    }

    SubstitutePowerPoint ppt;
    AutomationRef app;
};

} // namespace

TEST(SubstitutePowerPoint, answersBothTitleChainsAndFailsWithoutAPlaceholder) {
    Substitute s;
    for (bool version8 : {false, true}) {
        EXPECT_EQ(s.title(1, version8), "Welcome");
        EXPECT_EQ(s.title(2, version8), "");
        EXPECT_THROW(s.title(3, version8), AutomationError);
        EXPECT_THROW(s.title(4, version8), AutomationError);
    }
    const AutomationRef presentation = s.object(s.app, "ActivePresentation");
    EXPECT_EQ(asText(presentation->get("PathName")), "C:\\Talks\\q3.ppt");
    EXPECT_EQ(asText(presentation->get("FullName")), "C:\\Talks\\q3.ppt");
    EXPECT_THROW(s.app->get("NoSuchMember"), AutomationError);
}

TEST(SubstitutePowerPoint, theShowIsStartedMovedEndedAndRestarted) {
    Substitute s;
    const AutomationRef windows = s.object(s.app, "SlideShowWindows");
    EXPECT_EQ(asInt32(windows->get("Count")), 0);
    EXPECT_THROW(windows->get("", {std::int16_t(1)}), AutomationError);
    EXPECT_THROW(s.ppt.gotoSlide(2), std::invalid_argument);
    s.ppt.startShow(2);
    const AutomationRef window = s.window();
    const auto shown = [&](const AutomationRef& w) {
        return asInt16(s.object(s.object(w, "View"), "Slide")->get("SlideNumber"));
    };
    EXPECT_EQ(shown(window), 2);
    s.ppt.gotoSlide(3);
    EXPECT_EQ(shown(window), 3);
    EXPECT_THROW(s.ppt.gotoSlide(4), std::invalid_argument);
    s.ppt.endShow();
    EXPECT_EQ(asInt32(windows->get("Count")), 0);
    EXPECT_THROW(shown(window), AutomationError);
    // A restarted show has a window of its own; the old one stays gone.
    s.ppt.startShow(1);
    EXPECT_THROW(shown(window), AutomationError);
    EXPECT_EQ(shown(s.window()), 1);
}

TEST(SubstitutePowerPoint, aClosedProgramFailsEveryCallAndCountsNone) {
    Substitute s;
    s.ppt.startShow(1);
    const AutomationRef window = s.window();
    const int calls = s.ppt.calls();
    s.ppt.quit();
    const std::function<void()> afterQuit[] = {
        [&] { s.app->get("SlideShowWindows"); },
        [&] { s.app->put("Visible", true); },
        [&] { s.app->call("Quit"); },
        [&] { window->get("View"); },
    };
    for (const auto& call : afterQuit)
        EXPECT_THROW(call(), AutomationError);
    EXPECT_EQ(s.ppt.calls(), calls);
    EXPECT_THROW(s.ppt.startShow(1), std::logic_error);
    // Started again, it answers; the objects of the closed one do not.
    const AutomationRef again = s.ppt.factory()("PowerPoint.Application.7");
    EXPECT_EQ(asInt32(s.object(again, "SlideShowWindows")->get("Count")), 0);
    EXPECT_THROW(s.app->get("SlideShowWindows"), AutomationError);
}

TEST(SubstitutePowerPoint, createsOnlyThePresentationProgramAndOnlyWhenAvailable) {
    SubstitutePowerPoint ppt;
    EXPECT_THROW(ppt.factory()("Word.Application"), AutomationError);
    ppt.setUnavailable(true);
    EXPECT_THROW(ppt.factory()("PowerPoint.Application.8"), AutomationError);
    ppt.setUnavailable(false);
    EXPECT_NE(ppt.factory()("PowerPoint.Application.7"), nullptr);
}

// Busy, the program turns calls away for now and counts none of them; closed, it is gone.
// Each way the error says which, since only a gone program is bound again.
TEST(SubstitutePowerPoint, aBusyProgramTurnsCallsAwayAndAClosedOneIsGone) {
    Substitute s;
    const AutomationRef windows = s.object(s.app, "SlideShowWindows");
    const auto kindOfCount = [&windows]() -> std::string {
        try {
            return "answered " + std::to_string(asInt32(windows->get("Count")));
        } catch (const AutomationError& e) {
            return e.kind() == AutomationError::Kind::Busy ? "busy" : "gone";
        }
    };
    s.ppt.beBusy(1);
    const int calls = s.ppt.calls();
    EXPECT_EQ(kindOfCount(), "answered 0");
    EXPECT_EQ(kindOfCount(), "busy");
    EXPECT_EQ(kindOfCount(), "busy");
    EXPECT_EQ(s.ppt.calls(), calls + 1);
    EXPECT_EQ(s.ppt.rejectedCalls(), 2);
    s.ppt.beReady();
    EXPECT_EQ(kindOfCount(), "answered 0");
    s.ppt.quit();
    EXPECT_EQ(kindOfCount(), "gone");
    s.ppt.factory()("PowerPoint.Application.8");
    s.ppt.attachFactory()("PowerPoint.Application.8");
    EXPECT_EQ(s.ppt.bindings(), 3);
}
