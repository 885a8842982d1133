#pragma once
// Events screen readers follow for whole windows. The system raises them on Windows; Wine 8
// raises the focus event but no show or hide event, so there the forms raise those themselves.

#include <windows.h>

namespace rt {

// True when running under Wine (ntdll exports wine_get_version).
bool RunningUnderWine();
// Tells readers that a window was shown or hidden by the move that `pos` (of its
// WM_WINDOWPOSCHANGED) describes, where the system does not.
void AnnounceShowHide(HWND hwnd, const WINDOWPOS& pos);

}  // namespace rt
