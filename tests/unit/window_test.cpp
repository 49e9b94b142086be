// The operator's rules, once, on the window model: every front end (the Qt binder, the
// script runner) only forwards events to these calls.
#include "forms/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A window that records, in order, every handler the operator's actions reach.
class Probe : public Window {
  public:
    Probe() : Window("Probe") {
        const auto note = [this](std::string what) {
            return [this, what] { log.push_back(what); };
        };
        mnuFile.Click = note("mnuFile");
        mnuOpen.Click = note("mnuOpen");
        cmdGo.Click = note("cmdGo");
        Grid1.Click = [this] {
            log.push_back("Grid1 " + std::to_string(Grid1.Row) + " " + std::to_string(Grid1.Col));
        };
        txtA.LostFocus = note("txtA lost");
        txtB.LostFocus = note("txtB lost");
        // Upper-cases letters, swallows '!', takes the rest as typed.
        txtA.KeyPress = [this](int& key) {
            log.push_back("txtA key " + std::string(1, static_cast<char>(key)));
            if (key == '!')
                key = 0;
            else if (key >= 'a' && key <= 'z')
                key -= 'a' - 'A';
        };
        Timer1.Tick = note("Timer1");
        Timer2.Tick = note("Timer2");
    }

    MenuItem mnuFile{this, "mnuFile", "File"};
    MenuItem mnuOpen{this, "mnuOpen", "Open", &mnuFile};
    Button cmdGo{this, "cmdGo", "Go"};
    TextField txtA{this, "txtA"};
    TextField txtB{this, "txtB"};
    Grid Grid1{this, "Grid1", 4, 3};
    Timer Timer1{this, "Timer1", 100, true};
    Timer Timer2{this, "Timer2", 100, false};

    std::vector<std::string> log;
    bool keepOpen = false;

  protected:
    void Form_Unload(int& Cancel) override {
        log.push_back("unload");
        Cancel = keepOpen;
    }
};

using Log = std::vector<std::string>;

} // namespace

TEST(WindowRules, eachActionRunsItsHandlersInTheOperatorsOrder) {
    struct Case {
        const char* rule;
        std::function<void(Probe&)> setUp;
        std::function<std::string(Probe&)> act;
        std::string refusal;
        Log log;
        std::string textA;
    };
    const auto inA = [](Probe& w) { w.setFocus(&w.txtA); };
    const Case cases[] = {
        {"a command takes the focus first, so the lost-focus check runs before it",
         inA,
         [](Probe& w) { return w.click(w.cmdGo); },
         "",
         {"txtA lost", "cmdGo"}},
        {"a menu command too",
         inA,
         [](Probe& w) { return w.click(w.mnuOpen); },
         "",
         {"txtA lost", "mnuOpen"}},
        {"a grid cell becomes current before the grid's click",
         inA,
         [](Probe& w) { return w.clickCell(w.Grid1, 2, 1); },
         "",
         {"txtA lost", "Grid1 2 1"}},
        {"a disabled button refuses and the focus stays",
         [&](Probe& w) { inA(w), w.cmdGo.Enabled = false; },
         [](Probe& w) { return w.click(w.cmdGo); },
         "disabled",
         {}},
        {"a hidden button refuses",
         [](Probe& w) { w.cmdGo.Visible = false; },
         [](Probe& w) { return w.click(w.cmdGo); },
         "hidden",
         {}},
        {"an item under a disabled menu refuses",
         [](Probe& w) { w.mnuFile.Enabled = false; },
         [](Probe& w) { return w.click(w.mnuOpen); },
         "disabled (menu mnuFile)",
         {}},
        {"an item under a hidden menu refuses",
         [](Probe& w) { w.mnuFile.Visible = false; },
         [](Probe& w) { return w.click(w.mnuOpen); },
         "hidden (menu mnuFile)",
         {}},
        {"a disabled grid refuses a cell",
         [](Probe& w) { w.Grid1.Enabled = false; },
         [](Probe& w) { return w.clickCell(w.Grid1, 2, 1); },
         "disabled",
         {}},
        {"typing goes key by key through the key-press handler",
         {},
         [](Probe& w) { return w.type(w.txtA, "a!b"); },
         "",
         {"txtA key a", "txtA key !", "txtA key b"},
         "AB"},
        {"typing in another field takes the focus from the one being edited",
         inA,
         [](Probe& w) { return w.type(w.txtB, "x"); },
         "",
         {"txtA lost"}},
        {"a disabled field refuses typing and keeps its text",
         [](Probe& w) { w.txtA.Text = "old", w.txtA.Enabled = false; },
         [](Probe& w) { return w.type(w.txtA, "new"); },
         "disabled",
         {},
         "old"},
        {"leaving a field runs its check, after the field that had the focus",
         {},
         [](Probe& w) { return w.setFocus(&w.txtB), w.leave(w.txtA); },
         "",
         {"txtB lost", "txtA lost"}},
        {"a hidden field cannot be left",
         [](Probe& w) { w.txtA.Visible = false; },
         [](Probe& w) { return w.leave(w.txtA); },
         "hidden",
         {}},
        {"only enabled timers tick",
         {},
         [](Probe& w) { return std::string(w.tickTimers() ? "" : "none ticked"); },
         "",
         {"Timer1"}},
        {"no enabled timer, no tick",
         [](Probe& w) { w.Timer1.Enabled = false; },
         [](Probe& w) { return std::string(w.tickTimers() ? "" : "none ticked"); },
         "none ticked",
         {}},
        {"a disabled timer's own tick is refused",
         {},
         [](Probe& w) { return std::string(w.tick(w.Timer2) ? "" : "no tick"); },
         "no tick",
         {}},
    };
    for (const Case& c : cases) {
        Probe w;
        w.load();
        if (c.setUp)
            c.setUp(w);
        w.log.clear();
        EXPECT_EQ(c.act(w), c.refusal) << c.rule;
        EXPECT_EQ(w.log, c.log) << c.rule;
        EXPECT_EQ(w.txtA.Text, c.textA) << c.rule;
        EXPECT_EQ(w.isReachable(w.cmdGo), w.cmdGo.Enabled && w.cmdGo.Visible) << c.rule;
    }
}

TEST(WindowRules, theCloseBoxRunsTheChecksAndTheUnloadHandlerMayKeepTheWindow) {
    Probe w;
    w.load();
    w.setFocus(&w.txtA);
    w.keepOpen = true;
    EXPECT_FALSE(w.requestClose());
    EXPECT_FALSE(w.isClosed());
    w.keepOpen = false;
    EXPECT_TRUE(w.requestClose());
    EXPECT_TRUE(w.isClosed());
    EXPECT_EQ(w.log, (Log{"txtA lost", "unload", "unload"}));
    // A closed window closes no second time, and its timers stop with it.
    EXPECT_TRUE(w.requestClose());
    EXPECT_EQ(w.log.size(), 3u);
    EXPECT_FALSE(w.tickTimers());
}

TEST(WindowRules, aTimerThatClosesItsWindowStopsTheTicksAfterIt) {
    Probe w;
    w.load();
    w.Timer2.Enabled = true;
    w.Timer1.Tick = [&] { w.requestClose(); };
    EXPECT_TRUE(w.tickTimers());
    EXPECT_EQ(w.log, (Log{"unload"}));
}
