#pragma once
// The messages of a move to a monitor of another dpi carry pointers in lParam: a rectangle to
// read (WM_DPICHANGED), a size to write (WM_GETDPISCALEDSIZE). The system sends them; a program
// that posts the same numbers to a window chooses the address and the dpi. No window of a thread
// that makes windows here ever sees a posted one.

namespace rt {

// Turns the dpi messages posted to this thread's queue into nothing, in whatever message loop
// retrieves them (the program's, a message box's, a menu's), before any window procedure sees
// them. Once per thread; the guard ends with the thread.
void GuardDpiMessages();

}  // namespace rt
