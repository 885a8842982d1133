#pragma once
// CKvNotifyIcon: one icon in the taskbar's notification area. The record is kept between calls
// and passed whole every time; destroying the object deletes the icon.

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace corvane {

class CKvNotifyIcon {
public:
    static constexpr UINT kIconId = 1000;
    static constexpr UINT kCallbackMessage = 6242;
    static constexpr UINT kFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;  // 23

    CKvNotifyIcon();
    ~CKvNotifyIcon();
    CKvNotifyIcon(const CKvNotifyIcon&) = delete;
    CKvNotifyIcon& operator=(const CKvNotifyIcon&) = delete;

    void AddNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    // Keeps the callback message that AddNotifyIcon registered.
    void ModifyNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    // eInfoFlags: NIIF_NONE, NIIF_INFO, NIIF_WARNING or NIIF_ERROR.
    void ShowBubble(const std::wstring& strTitle, const std::wstring& strInfo, DWORD eInfoFlags);
    void HideBubble();
    void DeleteNotifyIcon();

    // The record as the last call passed it.
    const NOTIFYICONDATAW& Record() const { return m_data; }
    // Whether an icon added by this object is in the notification area.
    bool Added() const { return m_added; }

private:
    void Fill(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    void Send(DWORD action);

    NOTIFYICONDATAW m_data{};
    bool m_added = false;
};

}  // namespace corvane
