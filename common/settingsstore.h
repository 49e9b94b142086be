#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

// Per-user string settings addressed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or defaultValue when the application, section or key is absent.
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key,
                                   const std::string& defaultValue = {}) const = 0;
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

// Numbers are kept as the decimal text of a single-precision value, booleans as
// "True" or "False". A stored text that does not convert gives the caller's default.
std::string numberSettingText(double value);
std::string boolSettingText(bool value);
std::optional<double> numberFromSettingText(const std::string& text);
std::optional<bool> boolFromSettingText(const std::string& text);

double GetNumberSetting(const SettingsStore& store, const std::string& application,
                        const std::string& section, const std::string& key, double defaultValue);
bool GetBoolSetting(const SettingsStore& store, const std::string& application,
                    const std::string& section, const std::string& key, bool defaultValue);

// A store that lives as long as the object: for tests and throw-away runs.
class MemorySettingsStore : public SettingsStore {
  public:
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue = {}) const override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;

    bool contains(const std::string& application, const std::string& section,
                  const std::string& key) const;
    size_t size() const { return m_values.size(); }

  private:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> m_values;
};
