#pragma once
// The display scale of the Windows programs started while a DisplayScale lives. Wine keeps it
// in the prefix (the user's and the font settings' LogPixels) and a process reads it when it
// starts, so a test or benchmark sets it around each program it starts and puts it back
// afterwards whatever happens: other programs share the prefix.

#include <windows.h>

namespace driver {

// One registry value set for a while, then put back as it was (or removed when there was none).
class RegistryDword {
public:
    RegistryDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) : m_name(name)
    {
        if (::RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &m_key, nullptr) !=
            ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        DWORD size = sizeof m_old;
        DWORD type = 0;
        m_had = ::RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&m_old), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD;
        m_set = ::RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                ERROR_SUCCESS;
    }
    ~RegistryDword()
    {
        if (!m_key) return;
        if (m_had)
            ::RegSetValueExW(m_key, m_name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_old), sizeof m_old);
        else
            ::RegDeleteValueW(m_key, m_name);
        ::RegCloseKey(m_key);
    }
    RegistryDword(const RegistryDword&) = delete;
    RegistryDword& operator=(const RegistryDword&) = delete;
    bool Set() const { return m_set; }

private:
    HKEY m_key = nullptr;
    const wchar_t* m_name;
    DWORD m_old = 0;
    bool m_had = false;
    bool m_set = false;
};

// Wine's user and font settings at `dpi`.
class DisplayScale {
public:
    explicit DisplayScale(int dpi)
        : m_desktop(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", static_cast<DWORD>(dpi)),
          m_fonts(HKEY_CURRENT_CONFIG, L"Software\\Fonts", L"LogPixels", static_cast<DWORD>(dpi))
    {
    }
    bool Set() const { return m_desktop.Set() && m_fonts.Set(); }

private:
    RegistryDword m_desktop;
    RegistryDword m_fonts;
};

}  // namespace driver
