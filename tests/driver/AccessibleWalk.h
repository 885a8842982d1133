#pragma once
// A screen reader's view of a window of this process, taken from another process
// (tests/driver/AccessProbe.cpp) while this thread answers its calls.

#include <windows.h>

#include <string>
#include <vector>

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

}  // namespace driver
