#pragma once
// cSetStyle: makes a borderless form behave like a framed window. It gives the window the system
// menu and minimise box (so the taskbar button minimises, restores and closes it), maximises it
// to the work area and restores it, keeps it fitted when system settings change, and resizes it
// by 5-pixel bands along its edges with a dotted outline that follows the mouse. It sees the
// window's messages through a form subclasser.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "controls/ResizeZones.h"
#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "subclass/cFormSubclass.h"

namespace corvane {

class cSetStyle {
public:
    static constexpr LONG kWindowStyle = 0xA0000;  // WS_SYSMENU | WS_MINIMIZEBOX

    cSetStyle();
    ~cSetStyle();
    cSetStyle(const cSetStyle&) = delete;
    cSetStyle& operator=(const cSetStyle&) = delete;

    // --- Events, in declaration order ---
    std::function<void()> CloseClick;
    std::function<void()> SettingChange;
    std::function<void(std::int32_t theMouseStyle)> MouseSize;

    // The form that maximising, restoring and fitting move. Set it before SetWindowStyle.
    rt::Form* objForm() const { return m_objForm; }
    void SetobjForm(rt::Form* form) { m_objForm = form; }

    void SetWindowStyle(HWND hWnd);
    // Toggles between maximised and restored; true when the window is now maximised.
    bool CallWindowStateChange();

    bool IsMaximized() const { return m_maximized; }
    bool IsResizing() const { return m_resizing; }
    std::int32_t Zone() const { return m_zone; }

private:
    void objSubclass_MsgCome(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg, WPARAM& wParam,
                             LPARAM& lParam);
    void FitToWorkArea();
    // Covers the work area of the window's monitor.
    void MoveToWorkArea();
    void SetZoneCursor(std::int32_t zone);
    void DrawOutline(const ScreenRect& outline);
    void OnMouseMove(WPARAM wParam);
    void OnLeftButtonDown();
    void OnLeftButtonUp();
    void EndResize(bool moveWindow);
    ScreenRect WindowRect() const;
    // The dpi of the window's monitor: the zones and minima are 96-dpi pixels.
    int Dpi() const;

    std::unique_ptr<cFormSubclass> objSubclass;
    rt::Form* m_objForm = nullptr;
    HWND m_hwnd = nullptr;
    bool m_maximized = false;
    bool m_resizing = false;
    std::optional<rt::ClientDC> m_screenDC;  // held while an outline is on the screen
    long m_savedWidth = 0, m_savedHeight = 0, m_savedLeft = 0, m_savedTop = 0;  // twips
    std::int32_t m_zone = kNoZone;
    POINT m_cursor{};
    ScreenRect m_windowRect;
    ScreenRect m_shownOutline;
    ScreenRect m_newOutline;
};

}  // namespace corvane
