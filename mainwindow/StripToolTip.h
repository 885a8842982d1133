#pragma once
// The tab strip's tooltip: one tool covering the whole strip whose text the main window sets
// as the pointer moves over the tabs (empty text: no tip).

#include <windows.h>

#include <string>

namespace corvane {

class StripToolTip {
public:
    StripToolTip() = default;
    ~StripToolTip();
    StripToolTip(const StripToolTip&) = delete;
    StripToolTip& operator=(const StripToolTip&) = delete;

    void Attach(HWND strip);
    void Detach();
    const std::wstring& Text() const { return m_text; }
    void SetText(const std::wstring& text);
    HWND hWnd() const { return m_tip; }

private:
    HWND m_strip = nullptr;
    HWND m_tip = nullptr;  // owned: destroyed by Detach
    std::wstring m_text;
};

}  // namespace corvane
