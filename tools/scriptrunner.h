#pragma once

#include "forms/scriptcommand.h"

#include <chrono>
#include <deque>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Control;
struct StartResult;
struct UiEvent;
class ProgramEnvironment;
class ProgramRegistry;
class ScriptDumper;
class ScriptedUi;
class SettingsStore;
class Window;
struct Program;
struct ProgramEntry;

// Runs the registered programs' window models on the scripted desktop, one script command
// a line, and prints what the operator would see: message boxes, file dialogs, help,
// modal windows and dumps of the active window. A modal window runs the following
// commands nested inside its ShowModal, so its controls can be named while it is open.
// The operator's rules (focus, refusal, close) are the windows' own; this only turns
// lines into their calls. Programs add their own commands through the registry.
class ScriptRunner : private ScriptContext {
  public:
    // programDirectory is where the programs' shipped files lie (the runner's own
    // folder); it and workDirectory are shown as <program> and <work> in the output.
    ScriptRunner(const ProgramRegistry& programs, std::ostream& out, std::ostream& err,
                 std::string programDirectory, std::string workDirectory = {});
    ~ScriptRunner() override;
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Exit status: 0 when every line ran, 2 at the first faulty line (reported on the
    // error stream with its number), 1 when a window model failed with an exception.
    int run(std::istream& script);
    int run(std::vector<std::string> lines);

    static constexpr int Success = 0;
    static constexpr int ModelFailure = 1;
    static constexpr int ScriptFault = 2;

  private:
    // When a command may run.
    enum class Phase {
        Setup,  // before the first program starts
        Start,  // while no program is running
        Any,    // at any time
        Window, // while a window is active
    };
    using Handler = void (ScriptRunner::*)(const std::string& args);
    struct Command {
        Phase phase;
        Handler handler;
    };
    static const std::vector<std::pair<std::string, Command>>& commands();

    // The script's own commands; args is the rest of the line after one blank.
    void settingsCommand(const std::string& args);
    void screenCommand(const std::string& args);
    void programCommand(const std::string& args);
    void dialogCommand(const std::string& args);
    void answerCommand(const std::string& args);
    void clickCommand(const std::string& args);
    void typeCommand(const std::string& args);
    void leaveCommand(const std::string& args);
    void selectCommand(const std::string& args);
    void closeCommand(const std::string& args);
    void dumpCommand(const std::string& args);
    void waitCommand(const std::string& args);
    // A command word of a registered program; false when no program has it.
    bool programCommandWord(const std::string& word, const std::string& args);

    // ScriptContext, for the programs' commands.
    std::ostream& out() override { return m_out; }
    std::string quoted(const std::string& text) const override;
    Window& activeWindow() override;
    void runWhile(const std::function<bool()>& open) override;

    bool atEnd() const { return m_next >= m_lines.size(); }
    void skipComments();
    void executeNext();
    void execute(const std::string& line);
    void fail(int status, const std::string& message);

    // The nested run of a modal window, from its load until it has closed.
    void runModal(Window& window);
    void closeActive(Window& window);
    void noteMainClosed();
    // Answers go to the running program; between runs they wait for the next one.
    bool programRunning() const;
    ProgramEnvironment& environmentOf(const ProgramEntry& entry);
    // A program a window starts, run to its end; a failure or a stop is told on the error
    // stream.
    StartResult runToEnd(const UiEvent& event);

    template <class ControlType> ControlType& controlOf(const std::string& name, const char* kind);
    // A refused action is shown as the operator sees it, then stops the script.
    void refuse(const std::string& action, const std::string& name, const std::string& why);

    const ProgramRegistry& m_programs;
    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_programDirectory;
    std::unique_ptr<ScriptDumper> m_dumper;

    std::vector<std::string> m_lines;
    size_t m_next = 0;
    size_t m_current = 0; // index of the line being executed
    bool m_stopped = false;
    int m_status = Success;

    // Set up before the first program.
    std::optional<std::string> m_settingsDirectory;
    int m_screenWidth = 15360;
    int m_screenHeight = 11520;

    // Answers queued before the program's desktop exists.
    std::deque<int> m_pendingAnswers;
    std::deque<std::optional<std::string>> m_pendingFiles;

    // One environment per program name for the whole script, so setup commands given
    // before a program starts reach it.
    std::map<std::string, std::unique_ptr<ProgramEnvironment>> m_environments;
    const ProgramEntry* m_entry = nullptr; // the program started last
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<ScriptedUi> m_ui;
    std::unique_ptr<Window> m_main;
    bool m_mainClosedReported = false;
    std::vector<Window*> m_modal;
    // When each timer of a window fires next, once real time has passed for it (wait):
    // kept from one wait to the next, as a desktop's timers keep their pace.
    std::map<const Control*, std::chrono::steady_clock::time_point> m_timersDue;
};
