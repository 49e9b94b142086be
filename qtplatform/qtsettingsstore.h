#pragma once

#include "common/settingsstore.h"

// The Linux desktop programs' store: QSettings in the user's native place (a file under the
// user's configuration folder), or ini files in one folder.
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore() = default;
    // Keeps each application's settings in DIRECTORY/<application>.ini.
    explicit QtSettingsStore(std::string directory);

    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue = {}) const override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;

  private:
    std::string m_directory;
};
