#pragma once

#include <iosfwd>
#include <string>

class Window;
struct UiEvent;

// How cuescript prints what the operator sees: quoted texts, desktop events and dumps.
class ScriptDumper {
  public:
    // programDirectory and workDirectory are shown as <program> and <work>, so the output
    // does not depend on where the build and the run happen.
    ScriptDumper(std::ostream& out, std::string programDirectory, std::string workDirectory);

    // A text in double quotes, with \" \\ \r \n \t and \xNN escapes.
    std::string quoted(const std::string& text) const;
    void report(const UiEvent& event);
    // The window's geometry, focus and controls, then its own state lines.
    void dump(const Window& window);

  private:
    std::ostream& m_out;
    std::string m_programDirectory;
    std::string m_workDirectory;
};
