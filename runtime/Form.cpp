#include "runtime/Form.h"

#include <vector>

#include "runtime/App.h"
#include "runtime/Control.h"
#include "runtime/DpiScale.h"
#include "runtime/HighContrast.h"
#include "runtime/MessageFilter.h"
#include "runtime/MouseEvents.h"
#include "runtime/Screen.h"
#include "runtime/WindowEvents.h"
#include "runtime/WorkArea.h"

namespace rt {

namespace {

BOOL CALLBACK CollectEnabledForms(HWND hwnd, LPARAM param)
{
    auto* list = reinterpret_cast<std::vector<HWND>*>(param);
    if (dynamic_cast<Form*>(Window::FromHandle(hwnd)) && ::IsWindowEnabled(hwnd)) list->push_back(hwnd);
    return TRUE;
}

// A layered window given its whole surface by UpdateLayeredWindow (it has no colour key or
// opacity of its own) has nothing to paint; asking it to only costs a redraw of that surface.
bool ShowsLayeredPicture(HWND hwnd)
{
    if (!(::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED)) return false;
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    return !::GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags);
}

struct WindowSearch {
    bool controlsOnly = false;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowInside(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (!search->controlsOnly || dynamic_cast<Control*>(Window::FromHandle(child))) search->found.push_back(child);
    return TRUE;
}

// Every window inside `hwnd`, or only those of controls, parents before their children.
std::vector<HWND> WindowsInside(HWND hwnd, bool controlsOnly)
{
    WindowSearch search{controlsOnly, {}};
    ::EnumChildWindows(hwnd, &CollectWindowInside, reinterpret_cast<LPARAM>(&search));
    return std::move(search.found);
}

// Controls are placed in twips: at the new dpi each edge goes where the same twips now fall.
// Every place is taken before any control moves: a container's resize may place what it holds
// (in twips, at the new dpi already), and the held control must not then be scaled twice.
void RescaleControls(HWND form, int oldDpi, int newDpi)
{
    struct Placed {
        HWND control;
        PixelRect rect;
    };
    std::vector<Placed> places;
    for (HWND control : WindowsInside(form, true)) {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
        places.push_back({control, RescaleRect({r.left, r.top, r.right, r.bottom}, oldDpi, newDpi)});
    }
    for (const Placed& p : places) {
        if (!::IsWindow(p.control)) continue;
        ::SetWindowPos(p.control, nullptr, p.rect.left, p.rect.top, std::max(0, p.rect.Width()),
                       std::max(0, p.rect.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

UINT DpiChangeNotice()
{
    static const UINT message = ::RegisterWindowMessageW(L"Corvane.DpiChangeNotice");
    return message;
}

TwipsScale TwipsScaleOf(HWND hwnd)
{
    if (const int dpi = MovedDpiOf(hwnd)) return TwipsScale{dpi, dpi};
    return Screen::Scale();
}

int MovedDpiOf(HWND hwnd)
{
    if (!hwnd) return 0;
    HWND root = ::GetAncestor(hwnd, GA_ROOT);
    const auto* form = dynamic_cast<const Form*>(Window::FromHandle(root ? root : hwnd));
    return form ? form->MovedDpi() : 0;
}

Form::Form(FormDesign design) : DrawingWindow(design.backColor), m_design(std::move(design)) {}

Form::~Form()
{
    if (m_loaded) {
        m_loaded = false;
        App::FormUnloaded();
    }
}

bool Form::CreateFormWindow()
{
    const TwipsScale scale = Twips();
    DWORD style = WS_CLIPCHILDREN;
    style |= m_design.sizableBorder ? WS_OVERLAPPEDWINDOW : (WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX);
    DWORD exStyle = m_design.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;

    RECT frame{0, 0, scale.PixelsX(m_design.clientWidth), scale.PixelsY(m_design.clientHeight)};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    int x = scale.PixelsX(m_design.left);
    int y = scale.PixelsY(m_design.top);
    if (m_design.startUp == StartUpPosition::CenterScreen) {
        x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }

    HICON icon = m_design.iconResource ? ::LoadIconW(CurrentInstance(), MAKEINTRESOURCEW(m_design.iconResource))
                                       : nullptr;
    WindowParams params;
    params.className = m_design.className;
    params.title = m_design.caption;
    params.style = style;
    params.exStyle = exStyle;
    if (m_design.embeddedOnly) params.parent = HWND_MESSAGE;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    params.icon = icon;
    params.smallIcon = icon;
    if (!CreateHandle(params)) return false;
    // Centred on a screen smaller than the form, it would start with its caption off the screen.
    if (m_design.startUp == StartUpPosition::CenterScreen) KeepWindowOnWorkArea(hWnd(), Sizing::Fixed);
    return true;
}

void Form::Load()
{
    if (m_loaded || m_loading) return;
    // Each event may delete this form (its owner drops it): then only the locals are left.
    const Liveness::Watch watch = Life().Observe();
    if (!m_initialized) {
        m_initialized = true;
        OnInitialize();
        if (!watch.Alive()) return;
    }
    m_loading = true;
    if (!CreateFormWindow()) {
        m_loading = false;
        return;
    }
    m_loaded = true;
    App::FormLoaded();
    OnLoad();
    if (!watch.Alive()) return;
    m_loading = false;
    if (m_loaded && HasWindow()) OnResize();
}

void Form::Show(ShowMode mode)
{
    const Liveness::Watch watch = Life().Observe();
    Load();
    if (!watch.Alive() || !m_loaded || !HasWindow()) return;
    if (mode == ShowMode::Modal) {
        RunModalLoop();
        return;
    }
    int cmd = SW_SHOW;
    if (!::IsWindowVisible(hWnd())) {
        if (m_pendingState == WindowState::Minimized) cmd = SW_SHOWMINIMIZED;
        if (m_pendingState == WindowState::Maximized) cmd = SW_SHOWMAXIMIZED;
    }
    ::ShowWindow(hWnd(), cmd);
    if (!ShowsLayeredPicture(hWnd())) ::UpdateWindow(hWnd());
}

void Form::RunModalLoop()
{
    // The other forms of the program take no input while this one is open.
    std::vector<HWND> disabled;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectEnabledForms, reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, hWnd());
    for (HWND hwnd : disabled) ::EnableWindow(hwnd, FALSE);

    ::ShowWindow(hWnd(), SW_SHOW);
    ::SetForegroundWindow(hWnd());
    ++m_modalDepth;
    // A message handled in the loop may delete this form: then only the locals are left.
    const Liveness::Watch watch = Life().Observe();
    MSG msg;
    while (m_loaded && HasWindow() && ::IsWindowVisible(hWnd())) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        TranslateAndDispatch(msg);
        if (!watch.Alive()) break;
    }
    if (watch.Alive()) --m_modalDepth;
    for (HWND hwnd : disabled)
        if (::IsWindow(hwnd)) ::EnableWindow(hwnd, TRUE);
}

void Form::Hide()
{
    if (HasWindow()) ::ShowWindow(hWnd(), SW_HIDE);
}

bool Form::Unload(UnloadMode mode)
{
    if (!m_loaded) return true;
    if (m_unloading) return false;
    m_unloading = true;
    // A form deleted by its own event counts as unloaded; nothing of it may be touched then.
    const Liveness::Watch watch = Life().Observe();
    bool cancel = false;
    OnQueryUnload(cancel, mode);
    if (!watch.Alive()) return true;
    if (!cancel) OnUnload(cancel);
    if (!watch.Alive()) return true;
    if (cancel || !m_loaded) {
        m_unloading = false;
        return !m_loaded;
    }
    m_loaded = false;
    DestroyHandle();
    m_movedDpi = 0;  // a window made anew takes the dpi of where it is made
    ReleaseSurface();
    m_pendingState = WindowState::Normal;
    m_unloading = false;
    App::FormUnloaded();
    return true;
}

bool Form::Visible() const
{
    return HasWindow() && ::IsWindowVisible(hWnd());
}

void Form::SetVisible(bool visible)
{
    if (visible)
        Show(ShowMode::Modeless);
    else
        Hide();
}

WindowState Form::GetWindowState() const
{
    if (!HasWindow()) return m_pendingState;
    if (::IsIconic(hWnd())) return WindowState::Minimized;
    if (::IsZoomed(hWnd())) return WindowState::Maximized;
    if (!::IsWindowVisible(hWnd())) return m_pendingState;
    return WindowState::Normal;
}

void Form::SetWindowState(WindowState state)
{
    const Liveness::Watch watch = Life().Observe();
    Load();
    if (!watch.Alive() || !HasWindow()) return;
    m_pendingState = state;
    if (!::IsWindowVisible(hWnd())) return;
    switch (state) {
    case WindowState::Normal: ::ShowWindow(hWnd(), SW_RESTORE); break;
    case WindowState::Minimized: ::ShowWindow(hWnd(), SW_MINIMIZE); break;
    case WindowState::Maximized: ::ShowWindow(hWnd(), SW_MAXIMIZE); break;
    }
}

void Form::Move(double left, double top, double width, double height)
{
    if (!HasWindow()) return;
    const TwipsScale scale = Twips();
    RECT r;
    ::GetWindowRect(hWnd(), &r);
    const int x = left == kKeep ? r.left : scale.PixelsX(left);
    const int y = top == kKeep ? r.top : scale.PixelsY(top);
    const int w = width == kKeep ? r.right - r.left : scale.PixelsX(width);
    const int h = height == kKeep ? r.bottom - r.top : scale.PixelsY(height);
    ::SetWindowPos(hWnd(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

long Form::Left() const
{
    RECT r{};
    if (HasWindow()) ::GetWindowRect(hWnd(), &r);
    return Twips().TwipsX(r.left);
}

long Form::Top() const
{
    RECT r{};
    if (HasWindow()) ::GetWindowRect(hWnd(), &r);
    return Twips().TwipsY(r.top);
}

long Form::Width() const
{
    RECT r{};
    if (HasWindow()) ::GetWindowRect(hWnd(), &r);
    return Twips().TwipsX(r.right - r.left);
}

long Form::Height() const
{
    RECT r{};
    if (HasWindow()) ::GetWindowRect(hWnd(), &r);
    return Twips().TwipsY(r.bottom - r.top);
}

long Form::ScaleWidth() const
{
    RECT r{};
    if (HasWindow()) ::GetClientRect(hWnd(), &r);
    return Twips().TwipsX(r.right);
}

long Form::ScaleHeight() const
{
    RECT r{};
    if (HasWindow()) ::GetClientRect(hWnd(), &r);
    return Twips().TwipsY(r.bottom);
}

std::wstring Form::Caption() const
{
    if (!HasWindow()) return m_design.caption;
    int n = ::GetWindowTextLengthW(hWnd());
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(hWnd(), text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

void Form::SetCaption(const std::wstring& caption)
{
    m_design.caption = caption;
    if (HasWindow()) ::SetWindowTextW(hWnd(), caption.c_str());
}

TwipsScale Form::Twips() const
{
    return HasWindow() ? TwipsScaleOf(hWnd()) : Screen::Scale();
}

bool Form::AnswerScaledSize(int newDpi, SIZE* size) const
{
    if (!size || !HasWindow()) return false;
    RECT window{};
    RECT client{};
    ::GetWindowRect(hWnd(), &window);
    ::GetClientRect(hWnd(), &client);
    const PixelSize scaled = DpiScaledWindowSize({window.right - window.left, window.bottom - window.top},
                                                 {client.right, client.bottom}, Twips().dpiX, newDpi);
    size->cx = scaled.width;
    size->cy = scaled.height;
    return true;
}

void Form::ChangeDpi(int newDpi, LPARAM suggested)
{
    // A form inside another window follows that window's dpi, not a message of its own.
    if (::GetWindowLongW(hWnd(), GWL_STYLE) & WS_CHILD) return;
    const Liveness::Watch watch = Life().Observe();
    const int oldDpi = Twips().dpiX;
    newDpi = SaneDpi(newDpi);
    m_movedDpi = newDpi;
    const bool changed = newDpi != oldDpi;
    if (changed) {
        RescaleControls(hWnd(), oldDpi, newDpi);
        OnDpiChanged(oldDpi, newDpi);
        if (!watch.Alive() || !HasWindow()) return;
        for (HWND inside : WindowsInside(hWnd(), false))
            if (::IsWindow(inside)) ::SendMessageW(inside, DpiChangeNotice(), 0, 0);
        if (!watch.Alive() || !HasWindow()) return;
    }
    RECT before{};
    ::GetClientRect(hWnd(), &before);
    TakeSuggestedRect(suggested);
    if (!watch.Alive() || !changed || !HasWindow()) return;
    // The layout is in twips: at the same size in pixels it still comes out differently.
    RECT after{};
    ::GetClientRect(hWnd(), &after);
    if (after.right == before.right && after.bottom == before.bottom && m_loaded && !m_unloading) OnResize();
    if (!watch.Alive() || !HasWindow()) return;
    // Everything was drawn anew at the new dpi; what children show of the form's surface too.
    ::RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::TakeSuggestedRect(LPARAM lParam)
{
    // Moved to a monitor of another scale, the window takes the rectangle the system offers; the
    // resize that follows lays it out again.
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!suggested) return;
    const PixelRect r{suggested->left, suggested->top, suggested->right, suggested->bottom};
    if (!SaneWindowRect(r)) return;
    ::SetWindowPos(hWnd(), nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; HandleDrawingMessage(msg, wParam, lParam, result)) return result;
    switch (msg) {
    case WM_SIZE:
        if (m_loaded && !m_unloading) OnResize();
        return 0;
    case WM_CLOSE:
        Unload(UnloadMode::FormControlMenu);
        return 0;
    case WM_WINDOWPOSCHANGED:
        AnnounceShowHide(hWnd(), *reinterpret_cast<const WINDOWPOS*>(lParam));
        break;  // the system makes its WM_SIZE and WM_MOVE of it
    case WM_SETTINGCHANGE:
        if (wParam != SPI_SETHIGHCONTRAST) break;
        [[fallthrough]];
    case WM_SYSCOLORCHANGE:
        // Only top-level windows hear of it; the skinned controls inside draw with its colours.
        if (!(::GetWindowLongW(hWnd(), GWL_STYLE) & WS_CHILD)) rt::SpreadColourChange(hWnd());
        break;
    case kWmDpiChanged:
        ChangeDpi(LOWORD(wParam), lParam);
        return 0;
    case kWmGetDpiScaledSize:
        if (AnswerScaledSize(static_cast<int>(wParam), reinterpret_cast<SIZE*>(lParam))) return TRUE;
        break;
    }
    const MouseEvent mouse = TranslateMouse(msg, wParam, lParam, Twips());
    switch (mouse.action) {
    case MouseAction::Down: OnMouseDown(mouse.button, mouse.shift, mouse.x, mouse.y); return 0;
    case MouseAction::Up: OnMouseUp(mouse.button, mouse.shift, mouse.x, mouse.y); return 0;
    case MouseAction::Move: OnMouseMove(mouse.button, mouse.shift, mouse.x, mouse.y); return 0;
    default: break;
    }
    return Final(msg, wParam, lParam);
}

}  // namespace rt
