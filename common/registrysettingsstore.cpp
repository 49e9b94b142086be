#include "registrysettingsstore.h"

#include <windows.h>

namespace {

std::string keyPath(const std::string& application, const std::string& section) {
    return "Software\\VB and VBA Program Settings\\" + application + "\\" + section;
}

} // namespace

std::string RegistrySettingsStore::GetSetting(const std::string& application,
                                              const std::string& section, const std::string& key,
                                              const std::string& defaultValue) const {
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath(application, section).c_str(), 0,
                        KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return defaultValue;
    std::string value;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = ::RegQueryValueExA(handle, key.c_str(), nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS && type == REG_SZ) {
        value.resize(size);
        result = ::RegQueryValueExA(handle, key.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(value.data()), &size);
        value.resize(result == ERROR_SUCCESS ? size : 0);
        // The stored text ends at its NUL.
        const size_t end = value.find('\0');
        if (end != std::string::npos)
            value.resize(end);
    }
    ::RegCloseKey(handle);
    return result == ERROR_SUCCESS && type == REG_SZ ? value : defaultValue;
}

void RegistrySettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& value) {
    // As with the store on other platforms, a setting that cannot be stored is lost
    // quietly: positions and options are not worth stopping the program for.
    HKEY handle = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, keyPath(application, section).c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExA(handle, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(handle);
}
