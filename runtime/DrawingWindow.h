#pragma once
// What forms and controls share as drawing surfaces: a back colour, the optional AutoRedraw
// surface that keeps what is drawn on it, and the erase/paint handling around both.

#include <windows.h>

#include "runtime/PersistentSurface.h"
#include "runtime/Window.h"

namespace rt {

class DrawingWindow : public Window {
public:
    DWORD BackColor() const { return m_backColor; }
    void SetBackColor(DWORD color);

    // With AutoRedraw the surface keeps what is drawn on it; hDC draws into it.
    bool AutoRedraw() const { return m_autoRedraw; }
    void SetAutoRedraw(bool on);
    HDC hDC() const { return m_surface.dc(); }
    void Cls();
    void Refresh();

protected:
    explicit DrawingWindow(DWORD backColor) : m_backColor(backColor) {}

    virtual void OnPaint(HDC /*dc*/, const RECT& /*area*/) {}

    // Handles WM_ERASEBKGND and WM_PAINT (returning true with the result) and follows WM_SIZE
    // with the surface (returning false: the caller raises its own resize event).
    bool HandleDrawingMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ReleaseSurface() { m_surface = PersistentSurface(); }

private:
    DWORD m_backColor;
    bool m_autoRedraw = false;
    PersistentSurface m_surface;
};

}  // namespace rt
