#include "subclass/CSubclass.h"

#include <commctrl.h>

#include <vector>

#include "runtime/App.h"

namespace corvane {

namespace {

constexpr long kRunning = 0;
constexpr long kUnsubclassRequested = 1;
constexpr long kCallbackLost = 0x82;
constexpr long kWindowDestroyed = 0x8000;
constexpr UINT kReleaseDelayMs = 100;

}  // namespace

struct SubclassRecord {
    HWND hwnd = nullptr;
    long depth = 0;
    long shutdown = kRunning;
    bool unicode = false;
    bool destroyOnLoss = false;
    bool restored = false;  // the previous procedure is back in place
    CSubclass* owner = nullptr;
    WNDPROC previous = nullptr;
    SubclassTable before;
    SubclassTable after;
    LONG_PTR lParamUser = 0;
    UINT_PTR releaseTimer = 0;
};

// The process-wide side: which record a window's messages go through, and the records waiting
// for their release.
struct SubclassDispatch {
    static std::map<HWND, std::shared_ptr<SubclassRecord>>& Records()
    {
        static std::map<HWND, std::shared_ptr<SubclassRecord>> records;
        return records;
    }
    static std::map<UINT_PTR, std::shared_ptr<SubclassRecord>>& Pending()
    {
        static std::map<UINT_PTR, std::shared_ptr<SubclassRecord>> pending;
        return pending;
    }

    static void CancelRelease(SubclassRecord& rec)
    {
        if (!rec.releaseTimer) return;
        ::KillTimer(nullptr, rec.releaseTimer);
        Pending().erase(rec.releaseTimer);
        rec.releaseTimer = 0;
    }

    static LRESULT CallPrevious(SubclassRecord& rec, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        CancelRelease(rec);
        return rec.unicode ? ::CallWindowProcW(rec.previous, hwnd, msg, wParam, lParam)
                           : ::CallWindowProcA(rec.previous, hwnd, msg, wParam, lParam);
    }

    static LONG_PTR SetProc(const SubclassRecord& rec, WNDPROC proc)
    {
        const LONG_PTR value = reinterpret_cast<LONG_PTR>(proc);
        return rec.unicode ? ::SetWindowLongPtrW(rec.hwnd, GWLP_WNDPROC, value)
                           : ::SetWindowLongPtrA(rec.hwnd, GWLP_WNDPROC, value);
    }

    static void CALLBACK Release(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        auto it = Pending().find(id);
        if (it == Pending().end()) return;
        std::shared_ptr<SubclassRecord> rec = std::move(it->second);
        Pending().erase(it);
        rec->releaseTimer = 0;
        auto current = Records().find(rec->hwnd);
        if (current != Records().end() && current->second == rec) Records().erase(current);
    }

    static void Shutdown(const std::shared_ptr<SubclassRecord>& rec)
    {
        if (!rec->restored) {
            // Put the previous procedure back only when ours is still the window's: a procedure
            // installed later on top of ours calls through us and must keep working, so then
            // the record stays as a plain pass-through.
            // Read in the record's own flavour: the other one gives a conversion handle.
            WNDPROC current = reinterpret_cast<WNDPROC>(rec->unicode ? ::GetWindowLongPtrW(rec->hwnd, GWLP_WNDPROC)
                                                                     : ::GetWindowLongPtrA(rec->hwnd, GWLP_WNDPROC));
            if (current != &Proc && rec->shutdown != kWindowDestroyed) return;
            SetProc(*rec, rec->previous);
            rec->restored = true;
            if (rec->shutdown == kCallbackLost && rec->destroyOnLoss) ::DestroyWindow(rec->hwnd);
        }
        CancelRelease(*rec);
        rec->releaseTimer = ::SetTimer(nullptr, 0, kReleaseDelayMs, &Release);
        if (rec->releaseTimer) Pending()[rec->releaseTimer] = rec;
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto it = Records().find(hwnd);
        if (it == Records().end()) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        // Held for the whole dispatch: the owner may unsubclass, resubclass or go away meanwhile.
        std::shared_ptr<SubclassRecord> rec = it->second;

        ++rec->depth;
        bool handled = false;
        LRESULT result = 0;
        if (rec->shutdown != kRunning) {
            result = CallPrevious(*rec, hwnd, msg, wParam, lParam);
        } else if (!rec->owner || !rec->owner->m_handler || !*rec->owner->m_handler) {
            rec->shutdown = kCallbackLost;
            result = CallPrevious(*rec, hwnd, msg, wParam, lParam);
        } else {
            if (rec->before.Matches(msg)) Raise(*rec, true, handled, result, hwnd, msg, wParam, lParam);
            if (!handled) {
                result = CallPrevious(*rec, hwnd, msg, wParam, lParam);
                if (rec->shutdown == kRunning && rec->after.Matches(msg))
                    Raise(*rec, false, handled, result, hwnd, msg, wParam, lParam);
            }
        }
        --rec->depth;
        if (msg == WM_NCDESTROY) rec->shutdown = kWindowDestroyed;
        if (rec->depth == 0 && rec->shutdown != kRunning) Shutdown(rec);
        return result;
    }

    static void Raise(SubclassRecord& rec, bool before, bool& handled, LRESULT& result, HWND hwnd, UINT msg,
                      WPARAM wParam, LPARAM lParam)
    {
        if (!rec.owner) return;
        // A copy of the handler: the owner may be destroyed from inside it.
        std::shared_ptr<const CSubclass::WindowProcHandler> handler = rec.owner->m_handler;
        if (handler && *handler) (*handler)(before, handled, result, hwnd, msg, wParam, lParam, rec.lParamUser);
    }
};

CSubclass::CSubclass()
{
    // Decided once: user32 of old systems lacks TrackMouseEvent, comctl32 has it always.
    if (HMODULE user32 = ::LoadLibraryW(L"User32")) {
        m_user32Tracking = ::GetProcAddress(user32, "TrackMouseEvent") != nullptr;
        ::FreeLibrary(user32);
    }
}

CSubclass::CSubclass(WindowProcHandler handler) : CSubclass()
{
    SetWindowProc(std::move(handler));
}

CSubclass::~CSubclass()
{
    ssc_Terminate();
}

void CSubclass::SetWindowProc(WindowProcHandler handler)
{
    m_handler = std::make_shared<const WindowProcHandler>(std::move(handler));
}

void CSubclass::Report(const wchar_t* routine, const std::wstring& message)
{
    rt::App::LogEvent(std::wstring(L"CSubclass.") + routine + L": " + message);
}

bool CSubclass::ssc_Subclass(HWND hWnd, LONG_PTR lParamUser)
{
    bool unicode = false;
    return ssc_Subclass(hWnd, lParamUser, unicode, false);
}

bool CSubclass::ssc_Subclass(HWND hWnd, LONG_PTR lParamUser, bool& bUnicode, bool bIsAPIwindow)
{
    if (!::IsWindow(hWnd)) {
        Report(L"ssc_Subclass", L"Invalid window handle");
        return false;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    if (process != ::GetCurrentProcessId()) {
        Report(L"ssc_Subclass", L"Window handle belongs to another process");
        return false;
    }
    if (!m_handler || !*m_handler) {
        Report(L"ssc_Subclass", L"Callback method not found");
        return false;
    }
    if (!m_windows) m_windows = std::make_unique<std::map<HWND, std::weak_ptr<SubclassRecord>>>();

    auto& records = SubclassDispatch::Records();
    auto existing = records.find(hWnd);
    std::shared_ptr<SubclassRecord> old = existing == records.end() ? nullptr : existing->second;
    auto mine = m_windows->find(hWnd);
    if ((mine != m_windows->end() && !mine->second.expired()) || (old && old->shutdown == kRunning)) {
        Report(L"ssc_Subclass", L"Window handle is already subclassed");
        return false;
    }

    if (old && !old->restored && old->shutdown != kWindowDestroyed) {
        // Unsubclassed, but its procedure is still in place (no message has finished since):
        // the record simply starts running again for its new owner.
        SubclassDispatch::CancelRelease(*old);
        old->owner = this;
        old->shutdown = kRunning;
        old->before.Clear();
        old->after.Clear();
        old->lParamUser = lParamUser;
        old->destroyOnLoss = bIsAPIwindow;
        if (bUnicode) bUnicode = old->unicode;
        (*m_windows)[hWnd] = old;
        return true;
    }

    auto rec = std::make_shared<SubclassRecord>();
    rec->hwnd = hWnd;
    rec->owner = this;
    rec->lParamUser = lParamUser;
    rec->destroyOnLoss = bIsAPIwindow;
    if (bUnicode) bUnicode = ::IsWindowUnicode(hWnd) != FALSE;
    rec->unicode = bUnicode;

    if (old) SubclassDispatch::CancelRelease(*old);
    records[hWnd] = rec;
    ::SetLastError(0);
    rec->previous = reinterpret_cast<WNDPROC>(SubclassDispatch::SetProc(*rec, &SubclassDispatch::Proc));
    if (!rec->previous) {
        const DWORD error = ::GetLastError();
        records.erase(hWnd);
        Report(L"ssc_Subclass", L"SetWindowLong failed, error #" + std::to_wstring(error));
        return false;
    }
    (*m_windows)[hWnd] = rec;
    return true;
}

std::shared_ptr<SubclassRecord> CSubclass::Lookup(HWND hWnd, bool reportErrors)
{
    if (!m_windows) {
        if (reportErrors) Report(L"zMap_VFunction", L"Thunk hasn't been initialized");
        return nullptr;
    }
    if (m_windows->empty()) return nullptr;
    auto it = m_windows->find(hWnd);
    if (it == m_windows->end()) {
        if (reportErrors) Report(L"zMap_VFunction", L"Thunk type for  does not exist");
        return nullptr;
    }
    // A released record counts as not found, without a report.
    return it->second.lock();
}

void CSubclass::ssc_UnSubclass(HWND hWnd)
{
    if (std::shared_ptr<SubclassRecord> rec = Lookup(hWnd, false)) {
        if (rec->owner == this) {
            if (rec->shutdown == kRunning) rec->shutdown = kUnsubclassRequested;
            rec->before.Clear();
            rec->after.Clear();
            rec->owner = nullptr;
        }
    }
    if (m_windows) m_windows->erase(hWnd);
}

void CSubclass::ssc_Terminate()
{
    if (!m_windows) return;
    std::vector<HWND> windows;
    for (auto it = m_windows->rbegin(); it != m_windows->rend(); ++it)
        if (!it->second.expired()) windows.push_back(it->first);
    for (HWND hwnd : windows) ssc_UnSubclass(hwnd);
    m_windows.reset();
}

LRESULT CSubclass::ssc_CallOrigWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<SubclassRecord> rec = Lookup(hWnd, true);
    return rec ? SubclassDispatch::CallPrevious(*rec, hWnd, uMsg, wParam, lParam) : 0;
}

void CSubclass::ssc_AddMsg(HWND hWnd, std::int32_t uMsg, long When)
{
    std::shared_ptr<SubclassRecord> rec = Lookup(hWnd, true);
    if (!rec) return;
    auto add = [&](SubclassTable& table) {
        if (!table.Add(uMsg))
            Report(L"zAddMsg", L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
                               L"ALL_MESSAGES instead of specific message values");
    };
    if (When & MSG_BEFORE) add(rec->before);
    if (When & MSG_AFTER) add(rec->after);
}

void CSubclass::ssc_DelMsg(HWND hWnd, long When, std::initializer_list<std::int32_t> Messages)
{
    std::shared_ptr<SubclassRecord> rec = Lookup(hWnd, true);
    if (!rec) return;
    for (std::int32_t message : Messages) {
        if (When & MSG_BEFORE) rec->before.Delete(message);
        if (When & MSG_AFTER) rec->after.Delete(message);
    }
}

void CSubclass::zSet_lParamUser(HWND hWnd, LONG_PTR value)
{
    if (std::shared_ptr<SubclassRecord> rec = Lookup(hWnd, true)) rec->lParamUser = value;
}

LONG_PTR CSubclass::zGet_lParamUser(HWND hWnd)
{
    std::shared_ptr<SubclassRecord> rec = Lookup(hWnd, true);
    return rec ? rec->lParamUser : 0;
}

void CSubclass::TrackMouseTracking(HWND hWnd)
{
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = hWnd;
    tme.dwHoverTime = 0;
    if (m_user32Tracking)
        ::TrackMouseEvent(&tme);
    else
        ::_TrackMouseEvent(&tme);
}

std::size_t CSubclass::LiveRecords()
{
    return SubclassDispatch::Records().size();
}

}  // namespace corvane
