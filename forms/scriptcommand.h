#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>

class ProgramEnvironment;
class Window;

// A fault of a script line (a wrong argument, a command out of place): the script runner
// reports the line and stops there.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What the script runner lends a program's own script commands.
class ScriptContext {
  public:
    virtual ~ScriptContext() = default;
    // Where the lines the operator would see go.
    virtual std::ostream& out() = 0;
    // A text in double quotes with escapes and the runner's folders shown as <program>
    // and <work>, as every output line shows texts.
    virtual std::string quoted(const std::string& text) const = 0;
    // The active window: the newest open modal window, else the main window. Throws
    // ScriptError when no program runs.
    virtual Window& activeWindow() = 0;
    // Runs the following script lines nested, while open() holds (a box that stays up
    // while time passes, say); returns at the end of the script or when the run stops.
    virtual void runWhile(const std::function<bool()>& open) = 0;
};

// One command word a program adds to the script language. args is the rest of the line
// after one blank; env is the program's environment (see ProgramEntry::environment).
struct ScriptCommand {
    enum class When {
        Anytime,   // also before the program starts, to set up its environment
        InProgram, // while the program's window is open
    };
    std::string word;
    When when = When::InProgram;
    std::function<void(ScriptContext& context, ProgramEnvironment& env, const std::string& args)>
        run;
};
