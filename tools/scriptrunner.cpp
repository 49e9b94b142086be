#include "scriptrunner.h"

#include "inisettingsstore.h"
#include "scriptdumper.h"
#include "scriptparser.h"

#include "common/processstart.h"
#include "common/settingsstore.h"
#include "common/text.h"
#include "forms/controls.h"
#include "forms/program.h"
#include "forms/programregistry.h"
#include "forms/window.h"
#include "testing/scriptedui.h"
#include "toolplatform.h"

#include <algorithm>
#include <chrono>
#include <istream>
#include <ostream>
#include <thread>
#include <utility>

ScriptRunner::ScriptRunner(const ProgramRegistry& programs, std::ostream& out, std::ostream& err,
                           std::string programDirectory, std::string workDirectory)
    : m_programs(programs), m_out(out), m_err(err), m_programDirectory(programDirectory),
      m_dumper(std::make_unique<ScriptDumper>(out, std::move(programDirectory),
                                              std::move(workDirectory))) {}

ScriptRunner::~ScriptRunner() {
    // The main window refers to the desktop, the store and the program: it goes first.
    m_main.reset();
}

const std::vector<std::pair<std::string, ScriptRunner::Command>>& ScriptRunner::commands() {
    static const std::vector<std::pair<std::string, Command>> table = {
        {"settings", {Phase::Setup, &ScriptRunner::settingsCommand}},
        {"screen", {Phase::Setup, &ScriptRunner::screenCommand}},
        {"program", {Phase::Start, &ScriptRunner::programCommand}},
        {"dialog", {Phase::Any, &ScriptRunner::dialogCommand}},
        {"answer", {Phase::Any, &ScriptRunner::answerCommand}},
        {"click", {Phase::Window, &ScriptRunner::clickCommand}},
        {"type", {Phase::Window, &ScriptRunner::typeCommand}},
        {"leave", {Phase::Window, &ScriptRunner::leaveCommand}},
        {"select", {Phase::Window, &ScriptRunner::selectCommand}},
        {"close", {Phase::Window, &ScriptRunner::closeCommand}},
        {"dump", {Phase::Window, &ScriptRunner::dumpCommand}},
        {"wait", {Phase::Window, &ScriptRunner::waitCommand}},
    };
    return table;
}

int ScriptRunner::run(std::istream& script) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(script, line))
        lines.push_back(line);
    return run(std::move(lines));
}

int ScriptRunner::run(std::vector<std::string> lines) {
    m_lines = std::move(lines);
    m_next = 0;
    while (!m_stopped && !atEnd())
        executeNext();
    if (!m_stopped && m_ui && m_ui->answersLeft()) {
        m_out.flush();
        m_err << "cuescript: warning: queued answers were left unused\n";
    }
    m_out.flush();
    return m_status;
}

void ScriptRunner::executeNext() {
    const size_t line = m_next++;
    m_current = line;
    try {
        execute(m_lines[line]);
    } catch (const ScriptError& e) {
        m_current = line;
        fail(ScriptFault, e.what());
    } catch (const UnfitAnswer& e) {
        m_current = line;
        fail(ScriptFault, e.what());
    } catch (const std::exception& e) {
        m_current = line;
        fail(ModelFailure, std::string("the program failed: ") + e.what());
    }
    noteMainClosed();
}

bool ScriptRunner::programRunning() const {
    return m_main && !m_main->isClosed();
}

void ScriptRunner::skipComments() {
    while (!atEnd() && ScriptParser::isComment(m_lines[m_next]))
        ++m_next;
}

void ScriptRunner::execute(const std::string& rawLine) {
    if (ScriptParser::isComment(rawLine))
        return;
    const auto [name, args] = ScriptParser::split(rawLine);
    const auto& table = commands();
    // clang 14, which builds the sanitized tree, cannot capture a structured binding.
    const auto found = std::find_if(table.begin(), table.end(), [&name = name](const auto& entry) {
        return entry.first == name;
    });
    if (found == table.end()) {
        if (!programCommandWord(name, args))
            throw ScriptError("unknown command \"" + name + "\"");
        return;
    }
    const Command& command = found->second;
    switch (command.phase) {
    case Phase::Setup:
        if (m_entry)
            throw ScriptError(name + " must come before program");
        break;
    case Phase::Start:
        if (programRunning())
            throw ScriptError("a program is already running");
        break;
    case Phase::Window:
        activeWindow(); // throws when there is none
        break;
    case Phase::Any:
        break;
    }
    (this->*command.handler)(args);
}

bool ScriptRunner::programCommandWord(const std::string& word, const std::string& args) {
    // Once a program has started its own words are the ones meant; before, a setup word
    // goes to every program that has it, each keeping it in its own environment.
    std::vector<const ProgramEntry*> takers;
    if (m_entry) {
        if (m_entry->command(word))
            takers.push_back(m_entry);
    } else {
        for (const ProgramEntry& entry : m_programs.entries()) {
            if (entry.command(word))
                takers.push_back(&entry);
        }
    }
    if (takers.empty())
        return false;
    for (const ProgramEntry* entry : takers) {
        const ScriptCommand& command = *entry->command(word);
        if (command.when == ScriptCommand::When::InProgram)
            activeWindow(); // throws when there is none
        command.run(*this, environmentOf(*entry), args);
    }
    return true;
}

ProgramEnvironment& ScriptRunner::environmentOf(const ProgramEntry& entry) {
    auto& environment = m_environments[entry.name];
    if (!environment)
        environment = entry.makeEnvironment();
    return *environment;
}

StartResult ScriptRunner::runToEnd(const UiEvent& event) {
    constexpr std::chrono::seconds TimeLimit{60};
    const RunResult run = runProcess(event.text, event.args, event.workingDirectory, TimeLimit);
    if (run.stopped)
        m_err << "cuescript: " << event.text << " did not end within " << TimeLimit.count()
              << " seconds and was stopped\n";
    else if (run.start && run.status != 0)
        m_err << "cuescript: " << event.text << " ended with status " << run.status << '\n';
    return run.start;
}

void ScriptRunner::fail(int status, const std::string& message) {
    if (m_stopped)
        return;
    m_stopped = true;
    m_status = status;
    m_out.flush();
    m_err << "cuescript: line " << m_current + 1 << ": " << message << '\n';
}

// ---- Commands ----

void ScriptRunner::settingsCommand(const std::string& args) {
    const std::string directory = Text::trimBlanks(args);
    if (directory.empty())
        throw ScriptError("settings needs a folder");
    m_settingsDirectory = directory;
}

void ScriptRunner::screenCommand(const std::string& args) {
    const auto size = ScriptParser::twoWholeNumbers(args);
    if (!size || size->first <= 0 || size->second <= 0)
        throw ScriptError("screen needs a width and a height in twips");
    m_screenWidth = size->first;
    m_screenHeight = size->second;
}

void ScriptRunner::programCommand(const std::string& args) {
    const std::string name = Text::trimBlanks(args);
    const ProgramEntry* entry = m_programs.find(name);
    if (!entry)
        throw ScriptError("unknown program \"" + name + "\" (known: " + m_programs.names() + ")");

    if (!m_settings) {
        if (m_settingsDirectory) {
            if (!ToolPlatform::makeFolders(*m_settingsDirectory))
                m_err << "cuescript: warning: the settings folder " << *m_settingsDirectory
                      << " cannot be made; the settings are not kept\n";
            m_settings = std::make_unique<IniSettingsStore>(*m_settingsDirectory);
        } else {
            m_settings = std::make_unique<MemorySettingsStore>();
        }
    }
    // A new run gets a new desktop; the store is the operator's and outlives it.
    if (m_ui && m_ui->answersLeft())
        m_err << "cuescript: warning: answers queued for the earlier run were left unused\n";
    m_main.reset();
    m_program = std::make_unique<Program>(entry->makeProgram(m_programDirectory));
    m_ui = std::make_unique<ScriptedUi>(m_program->title);
    m_ui->screenWidth = m_screenWidth;
    m_ui->screenHeight = m_screenHeight;
    for (int answer : m_pendingAnswers)
        m_ui->queueAnswer(answer);
    for (const auto& file : m_pendingFiles) {
        if (file)
            m_ui->queueFile(*file);
        else
            m_ui->queueCancel();
    }
    m_pendingAnswers.clear();
    m_pendingFiles.clear();
    m_ui->onEvent = [this](const UiEvent& event) { m_dumper->report(event); };
    m_ui->onModal = [this](Window& window) { runModal(window); };
    // The desktop does not wait for a program a window starts; a script does, so that
    // everything the program writes is there when the script ends.
    m_ui->runProcess = [this](const UiEvent& event) { return runToEnd(event); };
    if (entry->boxesWaitForAnswer) {
        // The box stays up, and the lines that follow run, until an answer is given.
        m_ui->whileBoxUp = [this] { runWhile([this] { return !m_ui->hasBoxAnswer(); }); };
    }

    m_entry = entry;
    m_mainClosedReported = false;
    m_timersDue.clear();
    WindowContext context{*m_ui, *m_settings, *m_program, environmentOf(*entry)};
    m_main = entry->mainWindow(context);
    m_main->load();
}

void ScriptRunner::dialogCommand(const std::string& args) {
    const std::string path = Text::trimBlanks(args);
    if (path.empty())
        throw ScriptError("dialog needs a path or cancel");
    std::optional<std::string> answer;
    if (path != "cancel")
        answer = path;
    if (!programRunning())
        m_pendingFiles.push_back(answer);
    else if (answer)
        m_ui->queueFile(*answer);
    else
        m_ui->queueCancel();
}

void ScriptRunner::answerCommand(const std::string& args) {
    const auto answer = ScriptParser::answerOf(args);
    if (!answer)
        throw ScriptError("answer needs OK, Cancel, Yes or No");
    if (programRunning())
        m_ui->queueAnswer(*answer);
    else
        m_pendingAnswers.push_back(*answer);
}

void ScriptRunner::refuse(const std::string& action, const std::string& name,
                          const std::string& why) {
    if (why.empty())
        return;
    m_out << "refused " << action << ' ' << name << ": " << why << '\n';
    throw ScriptError(action + ' ' + name + " refused: " + why);
}

template <class ControlType>
ControlType& ScriptRunner::controlOf(const std::string& name, const char* kind) {
    if (name.empty())
        throw ScriptError("a control name is missing");
    Window& window = activeWindow();
    Control* control = window.control(name);
    if (!control)
        throw ScriptError("window " + window.name() + " has no control " + name);
    ControlType* typed = nullptr;
    if constexpr (std::is_same_v<ControlType, Control>)
        typed = control;
    else
        typed = controlAs<ControlType>(*control);
    if (!typed)
        throw ScriptError(name + " is not " + kind);
    return *typed;
}

void ScriptRunner::clickCommand(const std::string& args) {
    const std::string name = Text::trimBlanks(args);
    Control& control = controlOf<Control>(name, "a control");
    auto* item = controlAs<MenuItem>(control);
    if (!controlAs<Button>(control) && !item)
        throw ScriptError(name + " is not a button or menu item");
    if (item && item->isSeparator())
        throw ScriptError(name + " is a separator");
    refuse("click", name, activeWindow().click(control));
}

void ScriptRunner::typeCommand(const std::string& args) {
    const auto [name, text] = ScriptParser::nameAndText(args);
    if (name.empty())
        throw ScriptError("type needs a field name");
    auto& field = controlOf<TextField>(name, "a text field");
    refuse("type", name, activeWindow().type(field, text));
}

void ScriptRunner::leaveCommand(const std::string& args) {
    const std::string name = Text::trimBlanks(args);
    auto& field = controlOf<TextField>(name, "a text field");
    refuse("leave", name, activeWindow().leave(field));
}

void ScriptRunner::selectCommand(const std::string& args) {
    const auto cell = ScriptParser::twoWholeNumbers(args);
    if (!cell)
        throw ScriptError("select needs a row and a column");
    const auto [row, col] = *cell;
    auto& grid = controlOf<Grid>("Grid1", "a grid");
    // The header row is fixed: a click there selects no cell.
    if (row < 1 || row >= grid.Rows() || col < 0 || col >= grid.Cols())
        throw ScriptError("Grid1 has no cell " + std::to_string(row) + " " + std::to_string(col));
    refuse("select", "Grid1", activeWindow().clickCell(grid, row, col));
}

void ScriptRunner::closeCommand(const std::string& args) {
    if (!Text::trimBlanks(args).empty())
        throw ScriptError("close takes no argument");
    closeActive(activeWindow());
}

void ScriptRunner::dumpCommand(const std::string& args) {
    if (!Text::trimBlanks(args).empty())
        throw ScriptError("dump takes no argument");
    m_dumper->dump(activeWindow());
}

void ScriptRunner::waitCommand(const std::string& args) {
    const std::optional<double> seconds = ScriptParser::seconds(args);
    if (!seconds || *seconds <= 0 || *seconds > 24 * 3600)
        throw ScriptError("wait needs a number of seconds, not \"" + args + "\"");
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(*seconds));
    // The active window's enabled timers fire at their intervals, as on the desktop.
    while (!m_stopped && (m_modal.size() || programRunning())) {
        Window& window = activeWindow();
        Clock::time_point next = end;
        Timer* due = nullptr;
        for (Control* control : window.controls()) {
            auto* timer = controlAs<Timer>(*control);
            if (!timer)
                continue;
            if (!timer->Enabled || timer->Interval <= 0) {
                m_timersDue.erase(control);
                continue;
            }
            const auto at = m_timersDue.try_emplace(
                control, Clock::now() + std::chrono::milliseconds(timer->Interval)).first;
            if (at->second < next) {
                next = at->second;
                due = timer;
            }
        }
        std::this_thread::sleep_until(next);
        if (!due)
            break;
        // A timer that fell behind starts its pace again rather than firing in a burst.
        Clock::time_point& at = m_timersDue[due];
        at += std::chrono::milliseconds(due->Interval);
        if (at < Clock::now())
            at = Clock::now() + std::chrono::milliseconds(due->Interval);
        window.tick(*due);
        noteMainClosed();
    }
}

// ---- Windows ----

void ScriptRunner::closeActive(Window& window) {
    if (!window.requestClose())
        m_out << "unload cancelled " << window.name() << '\n';
}

void ScriptRunner::runWhile(const std::function<bool()>& open) {
    while (open() && !m_stopped) {
        skipComments();
        if (atEnd())
            break;
        executeNext();
    }
}

void ScriptRunner::runModal(Window& window) {
    if (m_stopped)
        return;
    m_modal.push_back(&window);
    while (!window.isClosed()) {
        // Time passes between two of the operator's actions (not at a comment): a due
        // timer fires first.
        skipComments();
        window.tickTimers();
        if (window.isClosed() || m_stopped || atEnd())
            break;
        executeNext();
    }
    // The script has ended with the window still open: its close box, tried once, so a
    // window that refuses to close cannot hold the run.
    if (!window.isClosed() && !m_stopped)
        closeActive(window);
    m_modal.pop_back();
    if (window.isClosed())
        m_out << "closed " << window.name() << '\n';
}

void ScriptRunner::noteMainClosed() {
    if (m_main && m_main->isClosed() && !m_mainClosedReported) {
        m_mainClosedReported = true;
        m_out << "closed " << m_main->name() << '\n';
    }
}

Window& ScriptRunner::activeWindow() {
    if (!m_modal.empty())
        return *m_modal.back();
    if (m_main && m_main->isLoaded() && !m_main->isClosed())
        return *m_main;
    throw ScriptError(m_entry ? "the program has ended" : "no program is running");
}

std::string ScriptRunner::quoted(const std::string& text) const {
    return m_dumper->quoted(text);
}
