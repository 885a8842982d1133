#pragma once
// The login background window: the visible body of the login screen. A frameless layered window
// showing the login picture, with the taskbar entry; the user drags, minimises and restores it,
// and it keeps the login window (owned by it, lying on it) at its top-left corner. Unloading it
// unloads the login window.

#include "app/LayeredPng.h"
#include "runtime/Form.h"
#include "runtime/Handles.h"

namespace corvane {

class LoginBgFrm : public rt::Form {
public:
    // The one background window, created (not loaded) on first use.
    static LoginBgFrm& Instance();
    static LoginBgFrm* IfExists();

    ~LoginBgFrm() override;

    // Sets the window's small and large icons; the window keeps them until it unloads.
    void SetIcons(rt::Icon small, rt::Icon big);

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnUnload(bool& cancel) override;
    void OnMouseDown(int button, int shift, double x, double y) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LoginBgFrm();

    LayeredPngPainter m_picture;
    rt::Icon m_smallIcon;
    rt::Icon m_bigIcon;
    bool m_loginDown = false;  // the login window was hidden because this one was minimised
};

// Lets the platform drag `hwnd` as if its caption had been pressed.
void DragByCaption(HWND hwnd);

// The rectangle a window of the login pair takes when it moves to the dpi of WM_DPICHANGED's
// wParam: the picture's size there with its corner at (left, top), whatever size the system
// offered.
RECT PairRectForDpi(WPARAM wParam, int left, int top);

}  // namespace corvane
