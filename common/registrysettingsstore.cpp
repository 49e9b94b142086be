#include "registrysettingsstore.h"

#include "win32text.h"

#include <windows.h>

// A value is text (REG_SZ) whenever the ANSI code page gives its bytes back unchanged, so
// the registry editor shows it; any other value (a byte the code page does not map, a NUL)
// is kept as its raw bytes (REG_BINARY), so nothing is lost or altered.
namespace {

bool survivesAsText(const std::string& value) {
    return value.find('\0') == std::string::npos &&
           Win32Text::narrow(Win32Text::widen(value)) == value;
}

} // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string root) : m_root(std::move(root)) {}

std::string RegistrySettingsStore::keyPath(const std::string& application,
                                           const std::string& section) const {
    return m_root + "\\" + application + "\\" + section;
}

std::string RegistrySettingsStore::GetSetting(const std::string& application,
                                              const std::string& section, const std::string& key,
                                              const std::string& defaultValue) const {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Win32Text::widen(keyPath(application, section)).c_str(),
                        0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return defaultValue;
    const std::wstring name = Win32Text::widen(key);
    std::string value = defaultValue;
    DWORD type = 0;
    DWORD size = 0;
    std::string data;
    LONG result = ERROR_MORE_DATA;
    // The value may grow between the two calls; ask again until it fits.
    for (int attempt = 0; result == ERROR_MORE_DATA && attempt < 4; ++attempt) {
        result = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size);
        if (result != ERROR_SUCCESS)
            break;
        data.assign(size + sizeof(wchar_t), '\0');
        result = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &size);
    }
    ::RegCloseKey(handle);
    if (result != ERROR_SUCCESS)
        return defaultValue;
    data.resize(size);
    if (type == REG_BINARY) {
        value = data;
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        data.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        // The stored text ends at its NUL.
        const size_t end = text.find(L'\0');
        if (end != std::wstring::npos)
            text.resize(end);
        value = Win32Text::narrow(text);
    }
    return value;
}

void RegistrySettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& value) {
    // As with the store on other platforms, a setting that cannot be stored is lost
    // quietly: positions and options are not worth stopping the program for.
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER,
                          Win32Text::widen(keyPath(application, section)).c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    const std::wstring name = Win32Text::widen(key);
    if (survivesAsText(value)) {
        const std::wstring text = Win32Text::widen(value);
        ::RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    } else {
        ::RegSetValueExW(handle, name.c_str(), 0, REG_BINARY,
                         reinterpret_cast<const BYTE*>(value.data()),
                         static_cast<DWORD>(value.size()));
    }
    ::RegCloseKey(handle);
}
