#pragma once
// The chevron's list of every tab, as a popup menu dropping from the chevron.

#include <windows.h>

#include <string>
#include <vector>

namespace corvane {

// Shows one item per caption (the selected one checked) with its top-right corner at `at`
// (screen coordinates) and returns the chosen position, or -1 when the menu was dismissed.
long ChooseFromTabMenu(HWND owner, POINT at, const std::vector<std::wstring>& captions, long selected);

}  // namespace corvane
