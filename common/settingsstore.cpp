#include "settingsstore.h"

#include "text.h"

#include <charconv>

std::string numberSettingText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return std::string(buffer, result.ptr);
}

std::string boolSettingText(bool value) {
    return value ? "True" : "False";
}

std::optional<double> numberFromSettingText(const std::string& text) {
    const std::string trimmed = Text::trimBlanks(text);
    if (trimmed.empty())
        return std::nullopt;
    return Text::toDouble(trimmed);
}

std::optional<bool> boolFromSettingText(const std::string& text) {
    const std::string trimmed = Text::trimBlanks(text);
    if (Text::equalsNoCase(trimmed, "True"))
        return true;
    if (Text::equalsNoCase(trimmed, "False"))
        return false;
    if (auto number = numberFromSettingText(trimmed))
        return *number != 0;
    return std::nullopt;
}

double GetNumberSetting(const SettingsStore& store, const std::string& application,
                        const std::string& section, const std::string& key, double defaultValue) {
    const std::string text =
        store.GetSetting(application, section, key, numberSettingText(defaultValue));
    return numberFromSettingText(text).value_or(defaultValue);
}

bool GetBoolSetting(const SettingsStore& store, const std::string& application,
                    const std::string& section, const std::string& key, bool defaultValue) {
    const std::string text =
        store.GetSetting(application, section, key, boolSettingText(defaultValue));
    return boolFromSettingText(text).value_or(defaultValue);
}

std::string MemorySettingsStore::GetSetting(const std::string& application,
                                            const std::string& section, const std::string& key,
                                            const std::string& defaultValue) const {
    auto it = m_values.find({application, section, key});
    return it == m_values.end() ? defaultValue : it->second;
}

void MemorySettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                      const std::string& key, const std::string& value) {
    m_values[{application, section, key}] = value;
}

bool MemorySettingsStore::contains(const std::string& application, const std::string& section,
                                   const std::string& key) const {
    return m_values.count({application, section, key}) != 0;
}
