#include "scriptrunner.h"

#include "common/clocktime.h"
#include "common/controls.h"
#include "common/program.h"
#include "common/qtsettingsstore.h"
#include "common/settingsstore.h"
#include "common/text.h"
#include "common/window.h"
#include "config/frmconfig.h"
#include "schedule/mainwindow.h"
#include "testing/scriptedui.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace {

// A fault of the script itself: the line is reported and the run stops there.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Blank lines and lines whose first non-blank character is "#".
bool isComment(const std::string& line) {
    for (char c : line) {
        if (!Text::isBlank(c) && c != '\r')
            return c == '#';
    }
    return true;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> result;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && Text::isBlank(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !Text::isBlank(text[i]))
            ++i;
        if (i > start)
            result.push_back(text.substr(start, i - start));
    }
    return result;
}

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// "W H": two whole numbers and nothing else.
std::optional<std::pair<int, int>> twoWholeNumbers(const std::string& text) {
    const auto parts = words(text);
    if (parts.size() != 2)
        return std::nullopt;
    const auto first = wholeNumber(parts[0]);
    const auto second = wholeNumber(parts[1]);
    if (!first || !second)
        return std::nullopt;
    return std::pair{*first, *second};
}

std::string answerName(int answer) {
    switch (answer) {
    case Mb::OK:
        return "OK";
    case Mb::Cancel:
        return "Cancel";
    case Mb::Yes:
        return "Yes";
    case Mb::No:
        return "No";
    default:
        return std::to_string(answer);
    }
}

std::string clockText(double value) {
    return value == ClockTime::NotSet ? "not set" : ClockTime::format(value);
}

const char* boolText(bool value) {
    return value ? "true" : "false";
}

// Replaces every occurrence of directory that stands as a whole path prefix.
void replaceDirectory(std::string& text, const std::string& directory, const std::string& token) {
    if (directory.empty())
        return;
    size_t pos = 0;
    while ((pos = text.find(directory, pos)) != std::string::npos) {
        const size_t end = pos + directory.size();
        if (end == text.size() || text[end] == '/' || text[end] == '\\') {
            text.replace(pos, directory.size(), token);
            pos += token.size();
        } else {
            pos = end;
        }
    }
}

// The menu items from the bar down to item, or empty when item is not in the menu.
bool menuPath(const std::vector<MenuItem*>& items, const MenuItem* item,
              std::vector<const MenuItem*>& path) {
    for (const MenuItem* candidate : items) {
        path.push_back(candidate);
        if (candidate == item || menuPath(candidate->items(), item, path))
            return true;
        path.pop_back();
    }
    return false;
}

} // namespace

ScriptRunner::ScriptRunner(std::ostream& out, std::ostream& err, std::string programDirectory,
                           std::string workDirectory)
    : m_out(out), m_err(err), m_programDirectory(std::move(programDirectory)),
      m_workDirectory(std::move(workDirectory)) {}

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
    while (!atEnd() && isComment(m_lines[m_next]))
        ++m_next;
}

void ScriptRunner::execute(const std::string& rawLine) {
    if (isComment(rawLine))
        return;
    std::string line = rawLine;
    if (line.back() == '\r')
        line.pop_back();
    size_t start = 0;
    while (start < line.size() && Text::isBlank(line[start]))
        ++start;
    size_t end = start;
    while (end < line.size() && !Text::isBlank(line[end]))
        ++end;
    const std::string name = line.substr(start, end - start);
    const std::string args = end < line.size() ? line.substr(end + 1) : std::string();

    const auto& table = commands();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const auto& entry) { return entry.first == name; });
    if (found == table.end())
        throw ScriptError("unknown command \"" + name + "\"");
    const Command& command = found->second;
    const bool running = programRunning();
    switch (command.phase) {
    case Phase::Setup:
        if (m_programStarted)
            throw ScriptError(name + " must come before program");
        break;
    case Phase::Start:
        if (running)
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
    const auto size = twoWholeNumbers(args);
    if (!size || size->first <= 0 || size->second <= 0)
        throw ScriptError("screen needs a width and a height in twips");
    m_screenWidth = size->first;
    m_screenHeight = size->second;
}

void ScriptRunner::programCommand(const std::string& args) {
    const std::string name = Text::trimBlanks(args);
    if (name != "cuebuild")
        throw ScriptError("unknown program \"" + name + "\" (known: cuebuild)");

    if (!m_settings) {
        if (m_settingsDirectory) {
            QDir().mkpath(QString::fromStdString(*m_settingsDirectory));
            m_settings = std::make_unique<QtSettingsStore>(*m_settingsDirectory);
        } else {
            m_settings = std::make_unique<MemorySettingsStore>();
        }
    }
    // A new run gets a new desktop; the store is the operator's and outlives it.
    if (m_ui && m_ui->answersLeft())
        m_err << "cuescript: warning: answers queued for the earlier run were left unused\n";
    m_main.reset();
    m_program = std::make_unique<Program>(cuebuildProgram(m_programDirectory));
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
    m_ui->onEvent = [this](const UiEvent& event) { report(event); };
    m_ui->onModal = [this](Window& window) { runModal(window); };

    m_programStarted = true;
    m_mainClosedReported = false;
    m_main = std::make_unique<Main>(*m_ui, *m_settings, *m_program);
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
    const std::string name = Text::toLower(Text::trimBlanks(args));
    int answer = 0;
    if (name == "ok")
        answer = Mb::OK;
    else if (name == "cancel")
        answer = Mb::Cancel;
    else if (name == "yes")
        answer = Mb::Yes;
    else if (name == "no")
        answer = Mb::No;
    else
        throw ScriptError("answer needs OK, Cancel, Yes or No");
    if (programRunning())
        m_ui->queueAnswer(answer);
    else
        m_pendingAnswers.push_back(answer);
}

void ScriptRunner::clickCommand(const std::string& args) {
    const std::string name = Text::trimBlanks(args);
    Control& control = controlOf(name);
    auto* button = dynamic_cast<Button*>(&control);
    auto* item = dynamic_cast<MenuItem*>(&control);
    if (!button && !item)
        throw ScriptError(name + " is not a button or menu item");
    if (item && item->isSeparator())
        throw ScriptError(name + " is a separator");
    std::string why;
    if (!reachable(control, why)) {
        m_out << "refused click " << name << ": " << why << '\n';
        throw ScriptError("click " + name + " refused: " + why);
    }
    Window& window = activeWindow();
    window.releaseFocus();
    if (button && button->Click)
        button->Click();
    else if (item && item->Click)
        item->Click();
}

void ScriptRunner::typeCommand(const std::string& args) {
    const size_t blank = args.find(' ');
    const std::string name = Text::trimBlanks(args.substr(0, blank));
    const std::string text = blank == std::string::npos ? std::string() : args.substr(blank + 1);
    if (name.empty())
        throw ScriptError("type needs a field name");
    auto* field = dynamic_cast<TextField*>(&controlOf(name));
    if (!field)
        throw ScriptError(name + " is not a text field");
    std::string why;
    if (!reachable(*field, why)) {
        m_out << "refused type " << name << ": " << why << '\n';
        throw ScriptError("type " + name + " refused: " + why);
    }
    activeWindow().setFocus(field);
    field->Text.clear();
    for (char c : text) {
        int key = static_cast<unsigned char>(c);
        if (field->KeyPress)
            field->KeyPress(key);
        if (key != 0)
            field->Text.push_back(static_cast<char>(key));
    }
}

void ScriptRunner::leaveCommand(const std::string& args) {
    const std::string name = Text::trimBlanks(args);
    auto* field = dynamic_cast<TextField*>(&controlOf(name));
    if (!field)
        throw ScriptError(name + " is not a text field");
    std::string why;
    if (!reachable(*field, why)) {
        m_out << "refused leave " << name << ": " << why << '\n';
        throw ScriptError("leave " + name + " refused: " + why);
    }
    // Leaving a field means having been in it: whatever had the focus loses it first.
    Window& window = activeWindow();
    window.setFocus(field);
    window.releaseFocus();
}

void ScriptRunner::selectCommand(const std::string& args) {
    const auto cell = twoWholeNumbers(args);
    if (!cell)
        throw ScriptError("select needs a row and a column");
    const auto [row, col] = *cell;
    auto* grid = dynamic_cast<Grid*>(&controlOf("Grid1"));
    if (!grid)
        throw ScriptError("Grid1 is not a grid");
    // The header row is fixed: a click there selects no cell.
    if (row < 1 || row >= grid->Rows() || col < 0 || col >= grid->Cols())
        throw ScriptError("Grid1 has no cell " + std::to_string(row) + " " + std::to_string(col));
    std::string why;
    if (!reachable(*grid, why)) {
        m_out << "refused select Grid1: " << why << '\n';
        throw ScriptError("select refused: " + why);
    }
    activeWindow().releaseFocus();
    grid->Row = row;
    grid->Col = col;
    if (grid->Click)
        grid->Click();
}

void ScriptRunner::closeCommand(const std::string& args) {
    if (!Text::trimBlanks(args).empty())
        throw ScriptError("close takes no argument");
    Window& window = activeWindow();
    window.releaseFocus();
    if (!window.Unload())
        m_out << "unload cancelled " << window.name() << '\n';
}

void ScriptRunner::dumpCommand(const std::string& args) {
    if (!Text::trimBlanks(args).empty())
        throw ScriptError("dump takes no argument");
    dump(activeWindow());
}

// ---- Windows ----

void ScriptRunner::runModal(Window& window) {
    if (m_stopped)
        return;
    m_modal.push_back(&window);
    while (!window.isClosed()) {
        // Time passes between two of the operator's actions (not at a comment): a due
        // timer fires first.
        skipComments();
        tickTimers(window);
        if (window.isClosed() || m_stopped || atEnd())
            break;
        executeNext();
    }
    // The script has ended with the window still open: its close box, tried once, so a
    // window that refuses to close cannot hold the run.
    if (!window.isClosed() && !m_stopped) {
        window.releaseFocus();
        if (!window.Unload())
            m_out << "unload cancelled " << window.name() << '\n';
    }
    m_modal.pop_back();
    if (window.isClosed())
        m_out << "closed " << window.name() << '\n';
}

void ScriptRunner::tickTimers(Window& window) {
    for (Control* control : window.controls()) {
        if (window.isClosed())
            return;
        if (auto* timer = dynamic_cast<Timer*>(control); timer && timer->Enabled && timer->Tick)
            timer->Tick();
    }
}

void ScriptRunner::noteMainClosed() {
    if (m_main && m_main->isClosed() && !m_mainClosedReported) {
        m_mainClosedReported = true;
        m_out << "closed " << m_main->name() << '\n';
    }
}

Window& ScriptRunner::activeWindow() const {
    if (!m_modal.empty())
        return *m_modal.back();
    if (m_main && m_main->isLoaded() && !m_main->isClosed())
        return *m_main;
    throw ScriptError(m_programStarted ? "the program has ended" : "no program is running");
}

Control& ScriptRunner::controlOf(const std::string& name) const {
    if (name.empty())
        throw ScriptError("a control name is missing");
    Window& window = activeWindow();
    Control* control = window.control(name);
    if (!control)
        throw ScriptError("window " + window.name() + " has no control " + name);
    return *control;
}

bool ScriptRunner::reachable(const Control& control, std::string& why) const {
    std::vector<const Control*> chain;
    if (auto* item = dynamic_cast<const MenuItem*>(&control)) {
        std::vector<const MenuItem*> path;
        if (menuPath(control.owner()->menuBar(), item, path))
            chain.assign(path.begin(), path.end());
    }
    if (chain.empty())
        chain.push_back(&control);
    for (const Control* c : chain) {
        const std::string whose = c == &control ? "" : " (menu " + c->name() + ")";
        if (!c->Visible) {
            why = "hidden" + whose;
            return false;
        }
        if (!c->Enabled) {
            why = "disabled" + whose;
            return false;
        }
    }
    return true;
}

// ---- Output ----

std::string ScriptRunner::quoted(const std::string& raw) const {
    std::string text = raw;
    // The longer folder first, in case one lies inside the other.
    if (m_programDirectory.size() >= m_workDirectory.size()) {
        replaceDirectory(text, m_programDirectory, "<program>");
        replaceDirectory(text, m_workDirectory, "<work>");
    } else {
        replaceDirectory(text, m_workDirectory, "<work>");
        replaceDirectory(text, m_programDirectory, "<program>");
    }
    std::string result = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (c == '\r') {
            result += "\\r";
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\t') {
            result += "\\t";
        } else if (byte < 0x20 || byte >= 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            result += hex;
        } else {
            result += c;
        }
    }
    result += '"';
    return result;
}

void ScriptRunner::report(const UiEvent& event) {
    switch (event.kind) {
    case UiEvent::Kind::MessageBox:
        m_out << "box " << quoted(event.text) << " title " << quoted(event.title) << " style "
              << event.style << " -> " << answerName(event.answer) << '\n';
        break;
    case UiEvent::Kind::FileDialog:
        m_out << "dialog " << (event.dialogKind == FileDialogKind::Open ? "open" : "save") << ' '
              << quoted(event.text) << " filter " << quoted(event.filter) << " -> "
              << (event.chosen ? quoted(*event.chosen) : std::string("cancel")) << '\n';
        break;
    case UiEvent::Kind::Help:
        m_out << "help " << quoted(event.text) << " command " << event.style << '\n';
        break;
    case UiEvent::Kind::WhatsThis:
        m_out << "whatsthis " << event.text << '\n';
        break;
    case UiEvent::Kind::Modal:
        m_out << "modal " << event.text << '\n';
        break;
    }
}

void ScriptRunner::dump(Window& window) {
    m_out << "dump " << window.name() << " caption " << quoted(window.Caption) << '\n';
    m_out << "  geometry " << window.Left << ' ' << window.Top << ' ' << window.Width << ' '
          << window.Height << '\n';
    if (window.focus())
        m_out << "  focus " << window.focus()->name() << '\n';
    for (Control* control : window.controls()) {
        std::string marks;
        if (!control->Visible)
            marks += " hidden";
        if (!control->Enabled)
            marks += " disabled";
        const std::string& name = control->name();
        if (auto* field = dynamic_cast<TextField*>(control)) {
            m_out << "  text " << name << ' ' << quoted(field->Text) << marks << '\n';
        } else if (auto* label = dynamic_cast<Label*>(control)) {
            m_out << "  label " << name << ' ' << quoted(label->Caption) << marks << '\n';
        } else if (auto* button = dynamic_cast<Button*>(control)) {
            m_out << "  button " << name << ' ' << quoted(button->Caption) << marks << '\n';
        } else if (auto* item = dynamic_cast<MenuItem*>(control)) {
            if (item->isSeparator())
                continue;
            if (item->Checked)
                marks += " checked";
            m_out << "  menu " << name << ' ' << quoted(item->Caption) << marks << '\n';
        } else if (auto* grid = dynamic_cast<Grid*>(control)) {
            m_out << "  grid " << name << " row " << grid->Row << " col " << grid->Col << marks
                  << '\n';
        } else if (auto* timer = dynamic_cast<Timer*>(control)) {
            m_out << "  timer " << name << " interval " << timer->Interval << marks << '\n';
        }
    }
    if (auto* main = dynamic_cast<Main*>(&window))
        dumpMainState(*main);
    if (auto* config = dynamic_cast<FrmConfig*>(&window))
        m_out << "  state ClosedByButton " << boolText(config->ClosedByButton) << '\n';
    m_out << "end dump\n";
}

void ScriptRunner::dumpMainState(Main& main) {
    m_out << "  state LogImported " << boolText(main.LogImported) << '\n'
          << "  state ScheduleEdited " << boolText(main.ScheduleEdited) << '\n'
          << "  state FirstRowEdited " << boolText(main.FirstRowEdited) << '\n'
          << "  state EditorTyped " << boolText(main.EditorTyped) << '\n'
          << "  state WriteAllActive " << boolText(main.WriteAllActive) << '\n'
          << "  state RowCount " << main.RowCount << '\n'
          << "  state LoggedFirstLength " << clockText(main.LoggedFirstLength) << '\n'
          << "  state SavedFirstLength " << clockText(main.SavedFirstLength) << '\n'
          << "  state LogFileName " << quoted(main.LogFileName) << '\n'
          << "  state IMGPath " << quoted(main.IMGPath) << '\n'
          << "  state CeventsLoc " << quoted(main.CeventsLoc) << '\n';
    const int last = std::clamp(main.RowCount + 1, 1, main.Grid1.Rows() - 1);
    for (int row = 1; row <= last; ++row) {
        m_out << "  row " << row;
        for (int col = 1; col <= 5 && col < main.Grid1.Cols(); ++col)
            m_out << ' ' << quoted(main.Grid1.TextMatrix(row, col));
        m_out << '\n';
    }
}
