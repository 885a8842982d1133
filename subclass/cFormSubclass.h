#pragma once
// cFormSubclass: hands every message of a window to its owner before the window's procedure
// runs (event MsgCome). The owner may answer a message itself (bHandled, lReturn), change the
// message's values before the window sees them, or let it pass. Releasing the object ends the
// subclassing of every window it holds.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace corvane {

class cFormSubclass {
public:
    // bBefore: true before the window's procedure, false after it. Every other argument is the
    // dispatch's own value, changed in place by the handler.
    using MsgComeHandler = std::function<void(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& lng_hWnd,
                                              UINT& uMsg, WPARAM& wParam, LPARAM& lParam)>;

    cFormSubclass() = default;
    ~cFormSubclass();
    cFormSubclass(const cFormSubclass&) = delete;
    cFormSubclass& operator=(const cFormSubclass&) = delete;

    MsgComeHandler MsgCome;

    // Subclasses the window and asks for all its messages before its procedure. A second call
    // for the same window subclasses it again: its messages then arrive twice. Always true.
    bool AddWindowMsgs(HWND hWnd);
    // Kept for the owner's release sequence; the subclassing ends when this object goes.
    bool DeleteWindowMsg(HWND hWnd);

    // Windows currently subclassed by this object (one entry per AddWindowMsgs).
    std::size_t WindowCount() const;

private:
    struct Record;
    static LRESULT CALLBACK Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    static void Remove(Record* record);
    void Forget(Record* record);

    std::vector<Record*> m_records;
};

}  // namespace corvane
