#include "automation.h"

#include <cmath>
#include <limits>

namespace {
template <typename Int> Int wholeNumber(const AutomationValue& value) {
    double number = 0;
    if (const auto* b = std::get_if<bool>(&value))
        number = *b ? -1 : 0;
    else if (const auto* i16 = std::get_if<std::int16_t>(&value))
        number = *i16;
    else if (const auto* i32 = std::get_if<std::int32_t>(&value))
        number = *i32;
    else if (const auto* d = std::get_if<double>(&value))
        number = std::nearbyint(*d);
    else
        throw AutomationError("Type mismatch");
    if (!(number >= std::numeric_limits<Int>::min() && number <= std::numeric_limits<Int>::max()))
        throw AutomationError("Overflow");
    return static_cast<Int>(number);
}
} // namespace

AutomationRef asObject(const AutomationValue& value) {
    const auto* object = std::get_if<AutomationRef>(&value);
    if (!object || !*object)
        throw AutomationError("Object required");
    return *object;
}

std::int16_t asInt16(const AutomationValue& value) {
    return wholeNumber<std::int16_t>(value);
}

std::int32_t asInt32(const AutomationValue& value) {
    return wholeNumber<std::int32_t>(value);
}

std::string asText(const AutomationValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (std::holds_alternative<AutomationRef>(value) ||
        std::holds_alternative<std::monostate>(value))
        throw AutomationError("Type mismatch");
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? "True" : "False";
    if (const auto* d = std::get_if<double>(&value)) {
        std::string s = std::to_string(*d);
        return s;
    }
    return std::to_string(asInt32(value));
}

AutomationFactory unavailableAutomationFactory() {
    return [](const std::string&) -> AutomationRef {
        throw AutomationError("ActiveX component can't create object");
    };
}
