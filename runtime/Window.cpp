#include "runtime/Window.h"

#include "runtime/DpiMessages.h"

namespace rt {

HINSTANCE CurrentInstance()
{
    return ::GetModuleHandleW(nullptr);
}

Window::~Window()
{
    if (m_hwnd) {
        // The object is going: cut the link first so that the destruction messages do not
        // reach a half-destroyed derived class.
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        HWND hwnd = m_hwnd;
        m_hwnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

Window* Window::FromHandle(HWND hwnd)
{
    if (!hwnd || !::IsWindow(hwnd)) return nullptr;
    WNDPROC proc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd, GCLP_WNDPROC));
    if (proc != &Window::StaticWndProc) return nullptr;
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Window::CreateHandle(const WindowParams& params)
{
    if (m_hwnd) return true;
    GuardDpiMessages();
    HINSTANCE instance = CurrentInstance();
    WNDCLASSEXW existing{sizeof(existing)};
    if (!::GetClassInfoExW(instance, params.className, &existing)) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = params.classStyle;
        wc.lpfnWndProc = &Window::StaticWndProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = params.background;
        wc.hIcon = params.icon;
        wc.hIconSm = params.smallIcon;
        wc.lpszClassName = params.className;
        if (!::RegisterClassExW(&wc)) return false;
    }
    HMENU idOrMenu = (params.style & WS_CHILD) ? reinterpret_cast<HMENU>(params.childId) : nullptr;
    HWND hwnd = ::CreateWindowExW(params.exStyle, params.className, params.title.c_str(), params.style, params.x, params.y,
                                  params.width, params.height, params.parent, idOrMenu, instance, this);
    return hwnd != nullptr;
}

void Window::DestroyHandle()
{
    if (m_hwnd) ::DestroyWindow(m_hwnd);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Final(msg, wParam, lParam);
}

LRESULT Window::Final(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(m_hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        LRESULT result = self->HandleMessage(msg, wParam, lParam);
        self->m_hwnd = nullptr;
        self->OnWindowDestroyed();
        return result;
    }
    return self->HandleMessage(msg, wParam, lParam);
}

}  // namespace rt
