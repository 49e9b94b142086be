// The desktops' one binder skeleton, without a toolkit: what every view does with the
// operator's events, and the life of a window in the view its desktop registered.
#include "forms/viewbinder.h"
#include "forms/windowview.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class Probe : public Window {
  public:
    explicit Probe(Log& log) : Window("Probe"), m_log(log) {
        const auto note = [this](std::string what) {
            return [this, what] { m_log.push_back(what); };
        };
        mnuOpen.Click = note("mnuOpen");
        cmdGo.Click = note("cmdGo");
        cmdFail.Click = [] { throw std::runtime_error("The disk is full"); };
        cmdClose.Click = [this] { Unload(); };
        Grid1.Click = note("Grid1");
        txtA.LostFocus = note("txtA lost");
        txtA.KeyPress = [](int& key) { key = key == '!' ? 0 : key; };
        Timer1.Tick = note("Timer1");
    }
    MenuItem mnuFile{this, "mnuFile", "File"};
    MenuItem mnuOpen{this, "mnuOpen", "Open", &mnuFile};
    Button cmdGo{this, "cmdGo", "Go"};
    Button cmdFail{this, "cmdFail", "Fail"};
    Button cmdClose{this, "cmdClose", "Close"};
    TextField txtA{this, "txtA"};
    Grid Grid1{this, "Grid1", 4, 3};
    Timer Timer1{this, "Timer1", 500, true};
    bool keepOpen = false;
    std::function<void()> onLoad;

  protected:
    void Form_Load() override {
        if (onLoad)
            onLoad();
    }
    void Form_Unload(int& Cancel) override {
        m_log.push_back("unload");
        Cancel = keepOpen;
    }

  private:
    Log& m_log;
};

// A view that records what the skeleton asks of it.
class RecordingView : public ViewBinder, public WindowView {
  public:
    RecordingView(Window& window, Log& log) : ViewBinder(window), m_log(log) {}
    void showModel() override { m_log.push_back("showModel"); }
    void runModal() override { m_log.push_back("runModal"); }
    int refreshes = 0;

  protected:
    void refresh() override { ++refreshes; }
    void storePosition() override {}
    void showFault(const std::string& message) override { m_log.push_back("fault: " + message); }
    void closed() override { m_log.push_back("closed"); }

  private:
    Log& m_log;
};

struct Binding : ::testing::Test {
    Log log;
    Probe probe{log};
    RecordingView view{probe, log};
    void SetUp() override { probe.load(); }
};

// Every click takes the window's rules, whichever toolkit it comes from: what the operator
// cannot reach runs nothing, and a focused field's check runs before the command.
TEST_F(Binding, everyClickTakesTheWindowsRulesAndTheViewShowsTheResult) {
    struct Case {
        const char* what;
        std::function<void(Probe&)> before;
        std::function<Control&(Probe&)> clicked;
        Log handlers;
    } const cases[] = {
        {"a button", {}, [](Probe& p) -> Control& { return p.cmdGo; }, {"cmdGo"}},
        {"a disabled button",
         [](Probe& p) { p.cmdGo.Enabled = false; },
         [](Probe& p) -> Control& { return p.cmdGo; },
         {}},
        {"a hidden button",
         [](Probe& p) { p.cmdGo.Visible = false; },
         [](Probe& p) -> Control& { return p.cmdGo; },
         {}},
        {"an item of a disabled menu",
         [](Probe& p) { p.mnuFile.Enabled = false; },
         [](Probe& p) -> Control& { return p.mnuOpen; },
         {}},
        {"Enter on the grid from a field",
         [](Probe& p) { p.setFocus(&p.txtA); },
         [](Probe& p) -> Control& { return p.Grid1; },
         {"txtA lost", "Grid1"}},
    };
    for (const Case& c : cases) {
        Log caseLog;
        Probe probe(caseLog);
        RecordingView view(probe, caseLog);
        probe.load();
        if (c.before)
            c.before(probe);
        view.click(c.clicked(probe));
        EXPECT_EQ(caseLog, c.handlers) << c.what;
        EXPECT_EQ(view.refreshes, 1) << c.what;
    }
}

TEST_F(Binding, aFaultInAHandlerIsToldAndTheStateStillShows) {
    view.click(probe.cmdFail);
    EXPECT_EQ(log, Log{"fault: The disk is full"});
    EXPECT_EQ(view.refreshes, 1);
    view.click(probe.cmdGo);
    EXPECT_EQ(log.back(), "cmdGo");
}

TEST_F(Binding, theCloseIsReportedOnceWhicheverRoadClosedTheWindow) {
    probe.keepOpen = true;
    EXPECT_FALSE(view.requestClose());
    probe.keepOpen = false;
    view.click(probe.cmdClose);
    view.sync();
    EXPECT_TRUE(view.requestClose());
    EXPECT_EQ(log, (Log{"unload", "unload", "closed"}));
    EXPECT_EQ(view.interval(probe.Timer1), 0);
}

// Keys, pastes and focus moves reach the model as typing; the view's own showing of the
// model (a sync) is no typing.
TEST_F(Binding, keysPastesAndFocusMovesAreTheOperatorsTyping) {
    EXPECT_EQ(view.typedKey(probe.txtA, '!'), 0);
    EXPECT_EQ(view.typedKey(probe.txtA, 'a'), 'a');
    view.left(probe.txtA);
    view.edited(probe.txtA, "pasted");
    EXPECT_EQ(probe.txtA.Text, "pasted");
    EXPECT_EQ(probe.focus(), &probe.txtA);
    view.entered(probe.txtA);
    view.left(probe.txtA);
    view.left(probe.txtA);
    EXPECT_EQ(log, (Log{"txtA lost", "txtA lost"}));

    view.moveCurrentCell(probe.Grid1, 9, -2);
    EXPECT_EQ(probe.Grid1.Row, 3);
    EXPECT_EQ(probe.Grid1.Col, 0);
    EXPECT_EQ(view.interval(probe.Timer1), 500);
    probe.Timer1.Enabled = false;
    EXPECT_EQ(view.interval(probe.Timer1), 0);
}

TEST(WindowViews, eachClassHasOneViewAndTheModalLifeFollowsIt) {
    Log log;
    WindowViews<RecordingView, Log*> views;
    views.add<Probe>(
        [](Probe& probe, Log* log) { return std::make_unique<RecordingView>(probe, *log); });
    EXPECT_THROW(views.add<Probe>({}), std::logic_error);

    Probe probe(log);
    const auto view = views.make(probe, &log);
    ASSERT_NE(view, nullptr);
    showModal(probe, view.get());
    EXPECT_EQ(log, (Log{"showModel", "runModal"}));

    struct Other : Window {
        Other() : Window("Other") {}
    } other;
    EXPECT_EQ(views.make(other, &log), nullptr);
    // No view: the window cannot be shown, so it does not stay loaded.
    log.clear();
    Probe unshown(log);
    showModal(unshown, nullptr);
    EXPECT_EQ(log, Log{"unload"});
    EXPECT_TRUE(unshown.isClosed());
    // A window that closes during its load is not shown.
    log.clear();
    Probe brief(log);
    brief.onLoad = [&brief] { brief.Unload(); };
    RecordingView briefView(brief, log);
    showModal(brief, &briefView);
    EXPECT_EQ(log, Log{"unload"});
}

} // namespace
