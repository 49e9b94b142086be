#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// Late-bound automation: the logger drives the presentation program only by calling
// members by name, as a scripting client would. A binding (COM on Windows, the
// substitute program, an office bridge) answers these calls.

class AutomationObject;
using AutomationRef = std::shared_ptr<AutomationObject>;

// A member's argument or result: nothing, a boolean, a 16- or 32-bit integer, a double,
// 8-bit text, or another object.
using AutomationValue = std::variant<std::monostate, bool, std::int16_t, std::int32_t, double,
                                     std::string, AutomationRef>;

// Any failure of a call. what() is the description the operator is shown; kind() says
// whether asking again can help.
class AutomationError : public std::runtime_error {
  public:
    enum class Kind {
        Refused, // the member is unknown, an argument or the result does not fit, the
                 // program reported an error of its own, or the object asked is gone
        Busy,    // the program turned the call away for now (a modal dialog is up)
        Gone,    // the program cannot be reached: it quit or was killed
    };

    explicit AutomationError(const std::string& what, Kind kind = Kind::Refused)
        : std::runtime_error(what), m_kind(kind) {}
    Kind kind() const { return m_kind; }

  private:
    Kind m_kind;
};

// Creating by class name failed because no program is registered under that name (as
// opposed to one that is registered and would not start).
class AutomationClassMissing : public AutomationError {
  public:
    using AutomationError::AutomationError;
};

class AutomationObject {
  public:
    virtual ~AutomationObject() = default;

    // A property get; args index it ("Slides"(n)). An empty member is the default
    // member (a collection's item).
    virtual AutomationValue get(const std::string& member,
                                const std::vector<AutomationValue>& args = {}) = 0;
    virtual void put(const std::string& member, const AutomationValue& value) = 0;
    // A method call.
    virtual AutomationValue call(const std::string& member,
                                 const std::vector<AutomationValue>& args = {}) = 0;
};

// Conversions of a result as the caller relies on it; each throws AutomationError when
// the value does not convert.
AutomationRef asObject(const AutomationValue& value);
std::int16_t asInt16(const AutomationValue& value);
std::int32_t asInt32(const AutomationValue& value);
std::string asText(const AutomationValue& value);

// Creates an application object by its class name ("PowerPoint.Application.8"); throws
// AutomationError when no such program can be started.
using AutomationFactory = std::function<AutomationRef(const std::string& className)>;

// A desktop without a presentation program: every creation fails as on a machine without
// one. The program's main picks this, the COM binding or an office binding.
AutomationFactory unavailableAutomationFactory();
