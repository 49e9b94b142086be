// cuescript runs any registered program: a minimal one registered here, with its own
// setup and tick commands and its own dump lines, needs no change to the runner.
#include "forms/programregistry.h"
#include "forms/uiservices.h"
#include "forms/window.h"
#include "tools/scriptrunner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct CounterEnvironment : ProgramEnvironment {
    int step = 1;
};

class Counter : public Window {
  public:
    Counter(UiServices& ui, CounterEnvironment& env) : Window("frmCounter"), m_ui(ui), m_env(env) {
        tmrStep.Tick = [this] { lblCount.Caption = std::to_string(count += m_env.step); };
        cmdAsk.Click = [this] {
            if (m_ui.MsgBox("Stop?", Mb::YesNo) == Mb::Yes)
                tmrStep.Enabled = false;
        };
    }
    Button cmdAsk{this, "cmdAsk", "Ask"};
    Label lblCount{this, "lblCount", "0"};
    Timer tmrStep{this, "tmrStep", 500, true};
    int count = 0;

    void dumpState(StateDump& dump) const override {
        dump.state("Step", std::to_string(m_env.step));
    }

  private:
    void Form_Load() override { Caption = "Counter"; }
    UiServices& m_ui;
    CounterEnvironment& m_env;
};

ProgramRegistry counterRegistry() {
    ProgramEntry entry;
    entry.name = "counter";
    entry.settingsApplication = "Counter";
    entry.title = "Counter";
    entry.environment = [] { return std::make_unique<CounterEnvironment>(); };
    entry.mainWindow = [](WindowContext& c) {
        return std::make_unique<Counter>(c.ui, static_cast<CounterEnvironment&>(c.environment));
    };
    entry.boxesWaitForAnswer = true;
    entry.commands = {
        {"step", ScriptCommand::When::Anytime,
         [](ScriptContext&, ProgramEnvironment& env, const std::string& args) {
             static_cast<CounterEnvironment&>(env).step = std::stoi(args);
         }},
        {"tick", ScriptCommand::When::InProgram,
         [](ScriptContext& context, ProgramEnvironment&, const std::string&) {
             context.activeWindow().tickTimers();
         }},
    };
    ProgramRegistry registry;
    registry.add(std::move(entry));
    return registry;
}

struct ScriptResult {
    int status;
    std::string out;
    std::string err;
};

ScriptResult runScript(const std::string& script) {
    const ProgramRegistry programs = counterRegistry();
    std::ostringstream out, err;
    ScriptRunner runner(programs, out, err, "/opt/counter");
    std::istringstream in(script);
    const int status = runner.run(in);
    return {status, out.str(), err.str()};
}

} // namespace

TEST(ScriptRunner, startsARegisteredProgramTicksItsTimerAndDumpsIt) {
    const ScriptResult run = runScript("step 5\n"
                                       "program counter\n"
                                       "tick\n"
                                       "tick\n"
                                       "dump\n");
    EXPECT_EQ(run.status, ScriptRunner::Success) << run.err;
    EXPECT_EQ(run.out, "dump frmCounter caption \"Counter\"\n"
                       "  geometry 0 0 0 0\n"
                       "  button cmdAsk \"Ask\"\n"
                       "  label lblCount \"10\"\n"
                       "  timer tmrStep interval 500\n"
                       "  state Step 5\n"
                       "end dump\n");
}

TEST(ScriptRunner, aBoxStaysUpWhileTheTimerTicksUntilItIsAnswered) {
    const ScriptResult run = runScript("program counter\n"
                                       "click cmdAsk\n"
                                       "tick\n"
                                       "tick\n"
                                       "answer Yes\n"
                                       "tick\n"
                                       "dump\n");
    EXPECT_EQ(run.status, ScriptRunner::Success) << run.err;
    EXPECT_NE(run.out.find("box \"Stop?\" title \"Counter\" style 4 -> Yes\n"
                           "dump frmCounter"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("label lblCount \"2\"\n  timer tmrStep interval 500 disabled"),
              std::string::npos)
        << run.out;
}

TEST(ScriptRunner, aProgramsCommandsAreRefusedWhereTheyDoNotFit) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"tick\n", "cuescript: line 1: no program is running\n"},
        {"program other\n", "cuescript: line 1: unknown program \"other\" (known: counter)\n"},
        {"program counter\nstride 2\n", "cuescript: line 2: unknown command \"stride\"\n"},
    };
    for (const Case& c : cases) {
        const ScriptResult run = runScript(c.script);
        EXPECT_EQ(run.status, ScriptRunner::ScriptFault) << c.script;
        EXPECT_EQ(run.err, c.error) << c.script;
    }
}
