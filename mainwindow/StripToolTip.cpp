#include "mainwindow/StripToolTip.h"

#include <commctrl.h>

namespace corvane {

namespace {

TTTOOLINFOW ToolFor(HWND strip, const std::wstring& text)
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = strip;
    info.uId = reinterpret_cast<UINT_PTR>(strip);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    return info;
}

}  // namespace

StripToolTip::~StripToolTip()
{
    Detach();
}

void StripToolTip::Attach(HWND strip)
{
    Detach();
    m_strip = strip;
    m_tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                              0, 0, strip, nullptr, nullptr, nullptr);
    if (!m_tip) return;
    TTTOOLINFOW info = ToolFor(strip, m_text);
    ::SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void StripToolTip::Detach()
{
    if (m_tip) ::DestroyWindow(m_tip);
    m_tip = nullptr;
    m_strip = nullptr;
}

void StripToolTip::SetText(const std::wstring& text)
{
    if (text == m_text) return;
    m_text = text;
    if (!m_tip) return;
    TTTOOLINFOW info = ToolFor(m_strip, m_text);
    ::SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    // An active tip with empty text still pops up over the strip with the last text it showed.
    ::SendMessageW(m_tip, TTM_ACTIVATE, !m_text.empty(), 0);
    if (m_text.empty()) ::SendMessageW(m_tip, TTM_POP, 0, 0);
}

}  // namespace corvane
