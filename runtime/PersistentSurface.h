#pragma once
// A drawing surface that keeps what is drawn on it between repaints ("AutoRedraw"): drawing goes
// into an off-screen bitmap of the window's client size, and WM_PAINT copies it to the screen.

#include <windows.h>

#include "runtime/Handles.h"

namespace rt {

class PersistentSurface {
public:
    // Makes the surface width x height pixels. Content that still fits is kept; new area is
    // filled with the back colour.
    void Resize(int width, int height, COLORREF backColor);
    // Fills the whole surface with the back colour.
    void Clear(COLORREF backColor);
    // Copies the surface to a window DC (the area of a WM_PAINT).
    void PaintTo(HDC target, const RECT& area) const;

    HDC dc() const { return m_surface.dc(); }
    HBITMAP bitmap() const { return m_surface.bitmap(); }
    int width() const { return m_surface.width(); }
    int height() const { return m_surface.height(); }
    explicit operator bool() const { return static_cast<bool>(m_surface); }

private:
    OffscreenSurface m_surface;
};

// Resolves a colour that may be a system colour reference (top bit set, low byte the index).
COLORREF ResolveColor(DWORD color);

}  // namespace rt
