#pragma once
// A control's answer to screen readers. The control keeps one AccessibleHost next to its
// description (an rt::acc::Source) and passes its messages through HandleMessage first: the host
// answers WM_GETOBJECT for the client area with a reference-counted object that reads the
// source, and runs a reader's default action later from the control's own message loop.
// When the window goes (or the host dies first) the object is disconnected: a reader that still
// holds it gets CO_E_OBJNOTCONNECTED from every call, never a dead control.

#include <windows.h>

#include "runtime/AccessibleModel.h"

namespace rt {

class AccessibleObject;

class AccessibleHost {
public:
    explicit AccessibleHost(acc::Source& source) : m_source(source) {}
    ~AccessibleHost();
    AccessibleHost(const AccessibleHost&) = delete;
    AccessibleHost& operator=(const AccessibleHost&) = delete;

    // True when the message was the host's; `result` is then the window procedure's answer.
    bool HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Tells readers that something of the control (child 0) or of one child changed.
    static void Notify(HWND hwnd, acc::Event event, long child = 0);
    // Runs the source's default action from the window's queue, as a reader's
    // accDoDefaultAction does, for the child the source's ActionKey `key` names by then.
    static bool PostDefaultAction(HWND hwnd, long key);
    // Cuts every reader off the control; a later WM_GETOBJECT makes a new object.
    void Disconnect();

private:
    acc::Source& m_source;
    AccessibleObject* m_object = nullptr;  // one reference, held until Disconnect
};

}  // namespace rt
