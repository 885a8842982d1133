#pragma once
// One C++ object per window. The static procedure takes the object from CREATESTRUCT on
// WM_NCCREATE, keeps it in GWLP_USERDATA and forwards every message to HandleMessage; on
// WM_NCDESTROY the link is cut, so no late message reaches an object that may be gone.

#include <windows.h>

#include <string>

#include "runtime/Liveness.h"

namespace rt {

struct WindowParams {
    const wchar_t* className = nullptr;  // registered on first use with this class's procedure
    std::wstring title;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    HWND parent = nullptr;  // parent for child windows, owner for top-level ones
    UINT classStyle = CS_DBLCLKS;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    UINT_PTR childId = 0;
};

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hWnd() const { return m_hwnd; }
    bool HasWindow() const { return m_hwnd != nullptr; }

    // The object behind a window made by this class, or nullptr.
    static Window* FromHandle(HWND hwnd);

protected:
    Window() = default;

    // Creates the window; returns false when the platform refused.
    bool CreateHandle(const WindowParams& params);
    // Destroys the window now (safe to call from one of its own handlers).
    void DestroyHandle();

    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // The default processing of a message this class did not consume.
    LRESULT Final(UINT msg, WPARAM wParam, LPARAM lParam);

    // Called once the window is gone (after WM_NCDESTROY); the object may delete itself here.
    virtual void OnWindowDestroyed() {}

    // Ends with the object: raise events through RaiseEvent(Life(), ...) and return at once
    // when it reports the object gone.
    const Liveness& Life() const { return m_life; }

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    Liveness m_life;
};

HINSTANCE CurrentInstance();

}  // namespace rt
