#include "scriptdumper.h"

#include "forms/window.h"
#include "testing/scriptedui.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

#ifdef _WIN32
// The one thing a Windows run shows differently: the separator within a path under the
// program's or the work folder. It is shown as '/', up to the quote that ends the path or
// the end of the text, so one golden output serves both platforms.
void showSlashes(std::string& text, size_t from) {
    const size_t end = std::min(text.find_first_of("'\"\n", from), text.size());
    std::replace(text.begin() + from, text.begin() + end, '\\', '/');
}
#else
void showSlashes(std::string&, size_t) {}
#endif

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
            showSlashes(text, pos);
        } else {
            pos = end;
        }
    }
}

class LineDump : public StateDump {
  public:
    explicit LineDump(std::ostream& out, const ScriptDumper& dumper)
        : m_out(out), m_dumper(dumper) {}
    void state(const std::string& name, const std::string& value) override {
        m_out << "  state " << name << ' ' << value << '\n';
    }
    void text(const std::string& name, const std::string& text) override {
        state(name, m_dumper.quoted(text));
    }
    void row(int number, const std::vector<std::string>& cells) override {
        m_out << "  row " << number;
        for (const std::string& cell : cells)
            m_out << ' ' << m_dumper.quoted(cell);
        m_out << '\n';
    }

  private:
    std::ostream& m_out;
    const ScriptDumper& m_dumper;
};

} // namespace

ScriptDumper::ScriptDumper(std::ostream& out, std::string programDirectory,
                           std::string workDirectory)
    : m_out(out), m_programDirectory(std::move(programDirectory)),
      m_workDirectory(std::move(workDirectory)) {}

std::string ScriptDumper::quoted(const std::string& raw) const {
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

void ScriptDumper::report(const UiEvent& event) {
    switch (event.kind) {
    case UiEvent::Kind::MessageBox:
        m_out << "box " << quoted(event.text) << " title " << quoted(event.title) << " style "
              << event.style << " -> " << Mb::answerName(event.answer) << '\n';
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
    case UiEvent::Kind::Process:
        m_out << "process " << quoted(event.text);
        for (const std::string& arg : event.args)
            m_out << ' ' << quoted(arg);
        m_out << '\n';
        break;
    }
}

void ScriptDumper::dump(const Window& window) {
    m_out << "dump " << window.name() << " caption " << quoted(window.Caption) << '\n';
    m_out << "  geometry " << window.Left << ' ' << window.Top << ' ' << window.Width << ' '
          << window.Height << '\n';
    if (window.focus())
        m_out << "  focus " << window.focus()->name() << '\n';
    for (const Control* control : window.controls()) {
        std::string marks;
        if (!control->Visible)
            marks += " hidden";
        if (!control->Enabled)
            marks += " disabled";
        const std::string& name = control->name();
        visitEveryKind(*control, Overloaded{[&](const TextField& field) {
                                                m_out << "  text " << name << ' '
                                                      << quoted(field.Text) << marks << '\n';
                                            },
                                            [&](const Label& label) {
                                                m_out << "  label " << name << ' '
                                                      << quoted(label.Caption) << marks << '\n';
                                            },
                                            [&](const Button& button) {
                                                m_out << "  button " << name << ' '
                                                      << quoted(button.Caption) << marks << '\n';
                                            },
                                            [&](const MenuItem& item) {
                                                if (item.isSeparator())
                                                    return;
                                                m_out << "  menu " << name << ' '
                                                      << quoted(item.Caption) << marks
                                                      << (item.Checked ? " checked" : "") << '\n';
                                            },
                                            [&](const Grid& grid) {
                                                m_out << "  grid " << name << " row " << grid.Row
                                                      << " col " << grid.Col << marks << '\n';
                                            },
                                            [&](const Timer& timer) {
                                                m_out << "  timer " << name << " interval "
                                                      << timer.Interval << marks << '\n';
                                            }});
    }
    LineDump state(m_out, *this);
    window.dumpState(state);
    m_out << "end dump\n";
}
