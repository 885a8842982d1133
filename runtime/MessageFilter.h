#pragma once
// Keyboard messages offered to interested windows before a message loop translates them, in the
// spirit of a pre-translate hook: an embedded control with keyboard handling of its own (a page's
// tab order, a hosted control's accelerators) sees each key before TranslateMessage and
// DispatchMessage. Every message loop of the program goes through TranslateAndDispatch; the
// runtime knows nothing of who registers.

#include <windows.h>

#include <functional>

namespace rt {

// Returns true when it handled the message: the loop then neither translates nor dispatches it.
using MessageFilter = std::function<bool(MSG& msg)>;

// A filter registered for the lifetime of this object (per thread). Move-only.
class MessageFilterRegistration {
public:
    MessageFilterRegistration() = default;
    explicit MessageFilterRegistration(MessageFilter filter);
    ~MessageFilterRegistration();
    MessageFilterRegistration(MessageFilterRegistration&& other) noexcept;
    MessageFilterRegistration& operator=(MessageFilterRegistration&& other) noexcept;
    MessageFilterRegistration(const MessageFilterRegistration&) = delete;
    MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;

    void Reset();
    explicit operator bool() const { return m_id != 0; }

private:
    unsigned m_id = 0;
};

// Offers a keyboard message (WM_KEYFIRST..WM_KEYLAST) to the filters, the latest registered
// first; true when one of them handled it. A filter may register or unregister filters, its own
// included, while it runs.
bool FilterMessage(MSG& msg);

// The body of every message loop: the filters, then TranslateMessage and DispatchMessageW.
void TranslateAndDispatch(MSG& msg);

}  // namespace rt
