#pragma once

#include "settingsstore.h"

// The programs' store on Windows: the current user's registry, where the desktop forms
// runtime keeps an application's settings
// (HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>).
class RegistrySettingsStore : public SettingsStore {
  public:
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue = {}) const override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
};
