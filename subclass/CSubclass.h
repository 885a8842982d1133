#pragma once
// Intercepts the messages of windows of this process for one owner. For each window the owner
// lists the messages it wants before the window's previous procedure runs and those it wants
// after; each arrives as one call of the WindowProc handler, which may answer the message and
// keep it from the previous procedure.
//
// A window reaches its record through a map keyed by handle (no generated code). A record is
// never released, and the previous procedure never put back, while a message of that window is
// still being processed: a depth counter lets only the outermost dispatch restore, and the
// record itself goes 100 ms after the last message that passed through it.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "subclass/SubclassTable.h"

namespace corvane {

enum eMsgWhen : long {
    MSG_BEFORE = 1,
    MSG_AFTER = 2,
    MSG_BEFORE_AFTER = 3,
};

struct SubclassRecord;

class CSubclass {
public:
    // bBefore: the phase; bHandled (before phase) keeps the message from the previous procedure;
    // lReturn is the message's result (0 before, the previous procedure's after); lParamUser is
    // the window's user value, and changes to it are kept.
    using WindowProcHandler = std::function<void(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd,
                                                 UINT uMsg, WPARAM wParam, LPARAM lParam, LONG_PTR& lParamUser)>;

    CSubclass();
    explicit CSubclass(WindowProcHandler handler);
    CSubclass(const CSubclass&) = delete;
    CSubclass& operator=(const CSubclass&) = delete;
    // Unsubclasses every window.
    ~CSubclass();

    // The owner's event. Emptying it while windows are subclassed ends their subclassing at their
    // next message (and destroys those subclassed as API windows).
    void SetWindowProc(WindowProcHandler handler);

    // bUnicode true on entry is replaced by IsWindowUnicode(hWnd) and then chooses the W or A
    // routines; false uses the A routines. Failures go to the event log and return false.
    bool ssc_Subclass(HWND hWnd, LONG_PTR lParamUser, bool& bUnicode, bool bIsAPIwindow = false);
    bool ssc_Subclass(HWND hWnd, LONG_PTR lParamUser = 0);
    // Stops delivering at once; the previous procedure is back when the window's next (or
    // current) message has finished. Silent when the window is not subclassed.
    void ssc_UnSubclass(HWND hWnd);
    void ssc_Terminate();
    LRESULT ssc_CallOrigWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void ssc_AddMsg(HWND hWnd, std::int32_t uMsg, long When = MSG_AFTER);
    void ssc_DelMsg(HWND hWnd, long When, std::initializer_list<std::int32_t> Messages);
    void zSet_lParamUser(HWND hWnd, LONG_PTR value);
    LONG_PTR zGet_lParamUser(HWND hWnd);

    // Asks for one WM_MOUSELEAVE when the pointer leaves the window.
    void TrackMouseTracking(HWND hWnd);

    // Records not yet released, of every instance: for tests and benchmarks.
    static std::size_t LiveRecords();

private:
    friend struct SubclassDispatch;

    std::shared_ptr<SubclassRecord> Lookup(HWND hWnd, bool reportErrors);
    static void Report(const wchar_t* routine, const std::wstring& message);

    std::shared_ptr<const WindowProcHandler> m_handler;
    // Created by the first ssc_Subclass; the records are owned by the process-wide map.
    std::unique_ptr<std::map<HWND, std::weak_ptr<SubclassRecord>>> m_windows;
    bool m_user32Tracking = false;
};

}  // namespace corvane
