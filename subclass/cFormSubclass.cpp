#include "subclass/cFormSubclass.h"

#include <commctrl.h>

#include <algorithm>

#include "subclass/FormSubclassLists.h"

namespace corvane {

// One subclassing of one window. A record outlives its owner while a message of its window is
// still being dispatched through it: the owner may be released from inside MsgCome, and the
// dispatch that is running must find its record intact when the handler returns.
struct cFormSubclass::Record {
    cFormSubclass* owner = nullptr;  // null once released
    HWND hwnd = nullptr;
    WindowMessageLists lists;
    int depth = 0;         // dispatches of this record in progress (messages nest)
    bool removed = false;  // subclassing ended; delete when depth falls to 0
};

cFormSubclass::~cFormSubclass()
{
    // Highest index first, as the records were taken.
    while (!m_records.empty()) {
        Record* record = m_records.back();
        m_records.pop_back();
        Remove(record);
    }
}

bool cFormSubclass::AddWindowMsgs(HWND hWnd)
{
    auto* record = new Record;
    record->owner = this;
    record->hwnd = hWnd;
    record->lists.Add(kAllMessages, kFormWhenBefore);
    // The record's address is the subclass id, so the same window can be taken twice. A refused
    // subclassing (no such window, another thread's window) leaves a record that never fires.
    ::SetWindowSubclass(hWnd, &cFormSubclass::Dispatch, reinterpret_cast<UINT_PTR>(record),
                        reinterpret_cast<DWORD_PTR>(record));
    m_records.push_back(record);
    return true;
}

bool cFormSubclass::DeleteWindowMsg(HWND /*hWnd*/)
{
    return false;
}

std::size_t cFormSubclass::WindowCount() const
{
    return m_records.size();
}

void cFormSubclass::Remove(Record* record)
{
    if (!record->removed) {
        ::RemoveWindowSubclass(record->hwnd, &cFormSubclass::Dispatch, reinterpret_cast<UINT_PTR>(record));
        record->owner = nullptr;
        record->lists = {};
        record->removed = true;
    }
    if (record->depth == 0) delete record;
}

void cFormSubclass::Forget(Record* record)
{
    std::erase(m_records, record);
}

LRESULT CALLBACK cFormSubclass::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                         DWORD_PTR data)
{
    auto* record = reinterpret_cast<Record*>(data);
    ++record->depth;
    bool handled = false;
    LRESULT result = 0;
    HWND window = hwnd;
    // The handler is called through a copy: it may release the owner, and with it the original.
    if (record->owner && record->lists.before.Matches(msg) && record->owner->MsgCome) {
        const MsgComeHandler handler = record->owner->MsgCome;
        handler(true, handled, result, window, msg, wParam, lParam);
    }
    if (!handled) {
        result = ::DefSubclassProc(window, msg, wParam, lParam);
        if (record->owner && record->lists.after.Matches(msg) && record->owner->MsgCome) {
            const MsgComeHandler handler = record->owner->MsgCome;
            handler(false, handled, result, window, msg, wParam, lParam);
        }
    }
    --record->depth;
    // A window that is going ends its subclassing here, so that a handle the system reuses later
    // cannot reach this record.
    if (msg == WM_NCDESTROY && !record->removed) {
        if (record->owner) record->owner->Forget(record);
        Remove(record);
    } else if (record->removed && record->depth == 0) {
        delete record;
    }
    return result;
}

}  // namespace corvane
