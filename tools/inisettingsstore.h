#pragma once

#include "common/settingsstore.h"

#include <map>
#include <string>

// Each application's settings in DIRECTORY/<application>.ini, in the INI layout Qt's
// settings write on Linux (sections and keys sorted, LF line ends, Qt's quoting and
// escapes, "@ByteArray(...)" for text that is not UTF-8), so a folder of settings written
// on one platform reads the same on the other. cuescript's store for a script's settings
// folder, on every platform; names and values keep their bytes.
class IniSettingsStore : public SettingsStore {
  public:
    explicit IniSettingsStore(std::string directory);

    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue = {}) const override;
    // A setting that cannot be kept is lost quietly, as with the other stores.
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;

  private:
    std::string fileOf(const std::string& application) const;

    std::string m_directory;
};

namespace IniFormat {

// section -> key -> value, each the stored bytes.
using Sections = std::map<std::string, std::map<std::string, std::string>>;

// What a file holds; lines that are neither a section, a key nor a comment are skipped.
Sections parse(const std::string& bytes);
std::string render(const Sections& sections);

} // namespace IniFormat
