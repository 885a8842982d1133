#pragma once
// The keyboard of the program's own boxes (the exit box, the updater's window), which are plain
// forms rather than dialogs and so get no dialog manager: Tab and Shift+Tab step through the
// buttons given, Esc and Alt+F4 act as the close button. Enter and Space stay with the focused
// button, which clicks itself. Active while the object lives; the form and the buttons must
// outlive it or be destroyed first (their handles are looked up, never kept alive).

#include <windows.h>

#include <functional>
#include <vector>

#include "runtime/MessageFilter.h"

namespace corvane {

class DialogKeys {
public:
    DialogKeys(HWND form, std::vector<HWND> buttons, std::function<void()> close);
    // The filter refers to this object.
    DialogKeys(const DialogKeys&) = delete;
    DialogKeys& operator=(const DialogKeys&) = delete;

    // For the form's WM_ACTIVATE, after the default handling (which focuses the form itself):
    // when the form becomes active the button that had the focus last, at first the first one,
    // takes it back with its focus cue; when it loses activation the focused button is noted.
    void OnActivate(bool active);

private:
    bool Filter(const MSG& msg) const;
    bool Owns(HWND hwnd) const;

    HWND m_form = nullptr;  // borrowed
    std::vector<HWND> m_buttons;  // borrowed, in tab order
    std::function<void()> m_close;
    HWND m_last = nullptr;  // borrowed
    rt::MessageFilterRegistration m_filter;
};

}  // namespace corvane
