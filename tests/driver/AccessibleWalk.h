#pragma once
// A screen reader's view of a window of this process, taken from another process
// (tests/driver/AccessProbe.cpp) while this thread answers its calls.

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "tests/driver/ComRef.h"

namespace driver {

struct AccessibleNode {
    long child = 0;
    long role = -1;
    unsigned long state = 0;
    std::wstring name;
    std::wstring value;
    std::wstring action;
    RECT place{};  // screen coordinates
};

// The window's client object (first, child 0) and its children; empty when no object was
// reached.
std::vector<AccessibleNode> AccessibleTree(HWND hwnd);
// The node of a tree with the given name and role, or nullptr.
const AccessibleNode* FindNode(const std::vector<AccessibleNode>& tree, const std::wstring& name, long role);
// Runs a child's default action ("do") or selects it ("select") from the other process; the
// call's HRESULT, or E_FAIL when the probe did not answer.
HRESULT AccessibleAction(HWND hwnd, const wchar_t* verb, long child);
// The client object of a window of this process, reached in this process (empty when none).
ComRef<IAccessible> ClientObject(HWND hwnd);
// A child id as IAccessible's calls take it (CHILDID_SELF: the object itself).
VARIANT ChildId(long id);

// Records the accessibility events of one kind of object (client objects unless told otherwise)
// from `first` to `last`, delivered out of context to this thread while it pumps messages, of
// one process (0: all). One recorder at a time.
class WinEventRecorder {
public:
    struct Event {
        DWORD event;
        HWND hwnd;
        LONG child;
    };
    WinEventRecorder(DWORD first, DWORD last, DWORD processId = 0, LONG object = OBJID_CLIENT);
    ~WinEventRecorder();
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;

    explicit operator bool() const { return m_hook != nullptr; }
    int Count(DWORD event, HWND hwnd, LONG child) const;
    bool Seen(DWORD event, HWND hwnd, LONG child) const { return Count(event, hwnd, child) > 0; }
    // Pumps until the event was seen, up to `timeoutMs`.
    bool WaitFor(DWORD event, HWND hwnd, LONG child, DWORD timeoutMs) const;

private:
    static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD);

    HWINEVENTHOOK m_hook = nullptr;
    LONG m_object;
    std::vector<Event> m_events;
};

}  // namespace driver
