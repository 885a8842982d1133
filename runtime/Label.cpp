#include "runtime/Label.h"

namespace rt {

Label::Label()
{
    SetFont(L"宋体", 9);
}

void Label::SetCaption(const std::wstring& caption)
{
    const bool renamed = caption != m_caption;
    m_caption = caption;
    if (!HasWindow()) return;
    if (renamed) AccessibleHost::Notify(hWnd(), acc::Event::NameChange);
    ::SetWindowTextW(hWnd(), m_caption.c_str());
    ::InvalidateRect(hWnd(), nullptr, TRUE);
}

void Label::OnCreated()
{
    // The text is drawn, but kept as the window's text too, for whatever reads windows (a
    // screen reader, another process).
    ::SetWindowTextW(hWnd(), m_caption.c_str());
}

void Label::SetForeColor(DWORD color)
{
    m_foreColor = color;
    if (HasWindow()) ::InvalidateRect(hWnd(), nullptr, TRUE);
}

void Label::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    if (HasWindow()) ::InvalidateRect(hWnd(), nullptr, TRUE);
}

void Label::SetFont(const std::wstring& face, int points, bool bold)
{
    m_face = face;
    m_points = points;
    m_bold = bold;
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(points, Twips().dpiY, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = GB2312_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    m_font.reset(::CreateFontIndirectW(&lf));
    if (HasWindow()) ::InvalidateRect(hWnd(), nullptr, TRUE);
}

void Label::OnDpiChanged()
{
    SetFont(m_face, m_points, m_bold);
}

void Label::OnPaint(HDC dc, const RECT&)
{
    RECT r;
    ::GetClientRect(hWnd(), &r);
    SelectGuard font(dc, m_font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ResolveColor(m_foreColor));
    ::DrawTextW(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT Label::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT answer = 0; m_access.HandleMessage(hWnd(), msg, wParam, lParam, answer)) return answer;
    if (msg == WM_ERASEBKGND && m_transparent) {
        // Show the parent's surface through the label: let the parent paint our rectangle.
        HWND parent = ::GetParent(hWnd());
        POINT origin{0, 0};
        ::MapWindowPoints(hWnd(), parent, &origin, 1);
        HDC dc = reinterpret_cast<HDC>(wParam);
        POINT old;
        ::OffsetWindowOrgEx(dc, origin.x, origin.y, &old);
        ::SendMessageW(parent, WM_ERASEBKGND, wParam, 0);
        ::SetWindowOrgEx(dc, old.x, old.y, nullptr);
        return 1;
    }
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return Control::HandleMessage(msg, wParam, lParam);
}

}  // namespace rt
