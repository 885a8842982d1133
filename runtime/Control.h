#pragma once
// A control: a child window placed on a form (or another control) in twips. Controls raise
// events to their host through the callables they expose; arguments the host may change are
// passed by reference.

#include <windows.h>

#include "runtime/DrawingWindow.h"
#include "runtime/Form.h"

namespace rt {

class Control : public DrawingWindow {
public:
    // Creates the control's window inside `parent` at the given place, twips.
    bool Create(HWND parent, double left, double top, double width, double height);

    void Move(double left, double top, double width = kKeep, double height = kKeep);
    long Left() const;
    long Top() const;
    long Width() const;
    long Height() const;
    // Size of the control's window in pixels.
    SIZE PixelSize() const;
    // The twips factors of the form the control lies on.
    TwipsScale Twips() const { return TwipsScaleOf(hWnd()); }

    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);

protected:
    Control() : DrawingWindow(0x8000000F) {}

    virtual const wchar_t* ClassName() const = 0;
    virtual DWORD ExtraStyle() const { return 0; }
    virtual void OnCreated() {}
    virtual void OnResize() {}
    // The form the control lies on moved to a monitor of another dpi (the control is at its new
    // place already); fonts and pictures made for the old dpi are made anew.
    virtual void OnDpiChanged() {}

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    POINT ParentClientOrigin() const;

private:
    bool m_created = false;
};

}  // namespace rt
