#pragma once

#include "settingsstore.h"

#include <string>

// The programs' store on Windows: the current user's registry, one key per application
// and section (HKEY_CURRENT_USER\Software\Cuemark\<application>\<section>). Values are the
// program's 8-bit text and come back byte for byte.
class RegistrySettingsStore : public SettingsStore {
  public:
    // Under another key of the current user's registry, for tests.
    explicit RegistrySettingsStore(std::string root = "Software\\Cuemark");

    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue = {}) const override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;

  private:
    std::string keyPath(const std::string& application, const std::string& section) const;

    std::string m_root;
};
