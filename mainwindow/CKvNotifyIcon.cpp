#include "mainwindow/CKvNotifyIcon.h"

#include <cwchar>

namespace corvane {

namespace {

// Copies `text` into a fixed field with its terminating NUL, cut to the field. A cut never
// splits a surrogate pair.
template <std::size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text)
{
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    std::wmemcpy(field, text.data(), n);
    std::wmemset(field + n, L'\0', N - n);
}

}  // namespace

CKvNotifyIcon::CKvNotifyIcon()
{
    // The version-2 layout: tip, balloon texts and flags, no GUID.
    m_data.cbSize = NOTIFYICONDATAW_V2_SIZE;
}

CKvNotifyIcon::~CKvNotifyIcon()
{
    DeleteNotifyIcon();
}

void CKvNotifyIcon::Fill(HWND hWnd, HICON hIcon, const std::wstring& strTip)
{
    m_data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    m_data.hWnd = hWnd;
    m_data.hIcon = hIcon;
    m_data.uID = kIconId;
    m_data.uFlags = kFlags;
    CopyField(m_data.szTip, strTip);
}

void CKvNotifyIcon::Send(DWORD action)
{
    ::Shell_NotifyIconW(action, &m_data);
}

void CKvNotifyIcon::AddNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip)
{
    Fill(hWnd, hIcon, strTip);
    m_data.uCallbackMessage = kCallbackMessage;
    Send(NIM_ADD);
    m_added = true;
}

void CKvNotifyIcon::ModifyNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip)
{
    Fill(hWnd, hIcon, strTip);
    Send(NIM_MODIFY);
}

void CKvNotifyIcon::ShowBubble(const std::wstring& strTitle, const std::wstring& strInfo, DWORD eInfoFlags)
{
    CopyField(m_data.szInfoTitle, strTitle);
    CopyField(m_data.szInfo, strInfo);
    m_data.dwInfoFlags = eInfoFlags;
    Send(NIM_MODIFY);
}

void CKvNotifyIcon::HideBubble()
{
    CopyField(m_data.szInfoTitle, L"");
    CopyField(m_data.szInfo, L"");
    Send(NIM_MODIFY);
}

void CKvNotifyIcon::DeleteNotifyIcon()
{
    if (!m_added) return;
    Send(NIM_DELETE);
    m_added = false;
}

}  // namespace corvane
