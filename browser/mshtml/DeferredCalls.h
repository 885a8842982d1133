#pragma once
// Work that must not run inside a call of the browser control (deleting the view that hosts it,
// closing the control): it runs from a hidden message-only window of the thread once the
// current message has been handled. The window outlives every view, so the work is never lost
// with the view's own window, and never runs on the stack of the call that asked for it.

#include <functional>

namespace browser {

void RunAfterCurrentMessage(std::function<void()> job);

}  // namespace browser
