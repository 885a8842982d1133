#pragma once
// Keys the browser control would turn into browser functions of its own: a new browser window
// (Ctrl+N), the open-location and open-file dialogs (Ctrl+L, Ctrl+O), printing (Ctrl+P), full
// screen (F11) and a reload behind the program's back (F5, Ctrl+F5, Ctrl+R). A game page in the
// client offers none of them; the host swallows them.

namespace browser {

// `vk` is a virtual-key code; the flags tell which modifier keys are held.
bool IsSwallowedBrowserShortcut(unsigned vk, bool ctrl, bool alt);

}  // namespace browser
