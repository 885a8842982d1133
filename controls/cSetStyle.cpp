#include "controls/cSetStyle.h"

#include "runtime/Screen.h"
#include "runtime/WorkArea.h"

namespace corvane {

namespace {

const wchar_t* CursorName(ZoneCursor cursor)
{
    switch (cursor) {
    case ZoneCursor::NorthSouth: return IDC_SIZENS;
    case ZoneCursor::NorthEastSouthWest: return IDC_SIZENESW;
    case ZoneCursor::WestEast: return IDC_SIZEWE;
    case ZoneCursor::NorthWestSouthEast: return IDC_SIZENWSE;
    case ZoneCursor::Arrow: break;
    }
    return IDC_ARROW;
}

}  // namespace

cSetStyle::cSetStyle() : objSubclass(std::make_unique<cFormSubclass>())
{
    objSubclass->MsgCome = [this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg,
                                  WPARAM& wParam, LPARAM& lParam) {
        objSubclass_MsgCome(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
    };
}

cSetStyle::~cSetStyle()
{
    // An outline still on the screen goes with the controller, and so does the screen's DC.
    if (m_resizing) EndResize(false);
    objSubclass->DeleteWindowMsg(m_hwnd);
    objSubclass.reset();
}

void cSetStyle::SetWindowStyle(HWND hWnd)
{
    m_hwnd = hWnd;
    // Keep the visibility bit: clearing it on a shown window would leave a window on the screen
    // that the system believes hidden.
    const LONG visible = ::GetWindowLongW(hWnd, GWL_STYLE) & WS_VISIBLE;
    ::SetWindowLongW(hWnd, GWL_STYLE, kWindowStyle | visible);
    objSubclass->AddWindowMsgs(hWnd);
}

bool cSetStyle::CallWindowStateChange()
{
    if (!m_objForm) return m_maximized;
    if (m_maximized) {
        m_objForm->Move(m_savedLeft, m_savedTop, m_savedWidth, m_savedHeight);
        // The screen may have become smaller while the window was maximised.
        if (m_hwnd) rt::KeepWindowOnWorkArea(m_hwnd, rt::Sizing::Shrinkable);
        m_maximized = false;
    } else {
        m_savedLeft = m_objForm->Left();
        m_savedTop = m_objForm->Top();
        m_savedWidth = m_objForm->Width();
        m_savedHeight = m_objForm->Height();
        MoveToWorkArea();
        m_maximized = true;
    }
    return m_maximized;
}

void cSetStyle::FitToWorkArea()
{
    if (!m_maximized || !m_objForm || m_objForm->GetWindowState() == rt::WindowState::Minimized) return;
    MoveToWorkArea();
}

void cSetStyle::MoveToWorkArea()
{
    // The monitor the window is on, not the primary one: a window maximised on a second monitor
    // stays there, and a taskbar at the top or a side is kept clear as one at the bottom is.
    const rt::TwipsScale scale = m_objForm->Twips();
    const rt::TwipsPlace at =
        rt::MaximisedPlace(rt::WorkAreaOf(m_hwnd), scale.TwipsPerPixelX(), scale.TwipsPerPixelY());
    m_objForm->Move(at.left, at.top, at.width, at.height);
}

void cSetStyle::SetZoneCursor(std::int32_t zone)
{
    ::SetCursor(::LoadCursorW(nullptr, CursorName(CursorOfZone(zone))));
}

void cSetStyle::DrawOutline(const ScreenRect& outline)
{
    if (!m_screenDC) return;
    const RECT r{outline.left, outline.top, outline.right, outline.bottom};
    ::DrawFocusRect(m_screenDC->get(), &r);
}

int cSetStyle::Dpi() const
{
    return rt::Screen::DpiFor(m_hwnd);
}

ScreenRect cSetStyle::WindowRect() const
{
    RECT r{};
    ::GetWindowRect(m_hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void cSetStyle::OnMouseMove(WPARAM wParam)
{
    ::GetCursorPos(&m_cursor);
    if (!m_resizing && !m_maximized) {
        m_zone = HitZone(WindowRect(), m_cursor.x, m_cursor.y, Dpi());
        if (MouseSize) MouseSize(m_zone);
        SetZoneCursor(m_zone);
    }
    if (m_resizing && (wParam & MK_LBUTTON)) {
        if (!m_screenDC) m_screenDC.emplace(nullptr);
        m_newOutline = MoveOutline(m_zone, m_newOutline, m_cursor.x, m_cursor.y, Dpi());
        DrawOutline(m_shownOutline);
        DrawOutline(m_newOutline);
        m_shownOutline = m_newOutline;
    }
}

void cSetStyle::OnLeftButtonDown()
{
    ::GetCursorPos(&m_cursor);
    m_zone = HitZone(WindowRect(), m_cursor.x, m_cursor.y, Dpi());
    if (m_zone == kNoZone || m_resizing || m_maximized) return;
    m_resizing = true;
    m_windowRect = WindowRect();
    m_shownOutline = m_newOutline = m_windowRect;
    m_screenDC.emplace(nullptr);
    DrawOutline(m_shownOutline);
    // Moves and the release must reach the window also when the mouse leaves it.
    ::SetCapture(m_hwnd);
}

void cSetStyle::EndResize(bool moveWindow)
{
    m_resizing = false;
    DrawOutline(m_shownOutline);
    if (moveWindow)
        ::MoveWindow(m_hwnd, m_shownOutline.left, m_shownOutline.top, m_shownOutline.right - m_shownOutline.left,
                     m_shownOutline.bottom - m_shownOutline.top, TRUE);
    m_screenDC.reset();
    if (::GetCapture() == m_hwnd) ::ReleaseCapture();
}

void cSetStyle::OnLeftButtonUp()
{
    if (m_resizing) EndResize(true);
}

void cSetStyle::objSubclass_MsgCome(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg,
                                    WPARAM& wParam, LPARAM& lParam)
{
    if (!bBefore) return;
    switch (uMsg) {
    case WM_SETTINGCHANGE:
        if (SettingChange) SettingChange();
        FitToWorkArea();
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE && CloseClick) CloseClick();
        break;
    case WM_MOUSEMOVE: OnMouseMove(wParam); break;
    case WM_LBUTTONDOWN: OnLeftButtonDown(); break;
    case WM_LBUTTONUP: OnLeftButtonUp(); break;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-resize (another window, a menu): drop the outline, keep the size.
        if (m_resizing && reinterpret_cast<HWND>(lParam) != m_hwnd) EndResize(false);
        break;
    case WM_SETCURSOR:
        // The zone cursor stays while the pointer is on a zone of the window's own surface; the
        // window's class cursor would otherwise replace it on every move.
        if (reinterpret_cast<HWND>(wParam) == hWnd && LOWORD(lParam) == HTCLIENT && !m_maximized) {
            std::int32_t zone = m_zone;
            if (!m_resizing) {
                POINT p{};
                ::GetCursorPos(&p);
                zone = HitZone(WindowRect(), p.x, p.y, Dpi());
            }
            if (zone != kNoZone) {
                SetZoneCursor(zone);
                lReturn = TRUE;
                bHandled = true;
            }
        }
        break;
    }
}

}  // namespace corvane
