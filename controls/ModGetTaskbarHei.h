#pragma once
// ModGetTaskbarHei: how much of the screen's height the taskbar takes, measured from the bottom
// of the work area.

#include <cstdint>

namespace corvane::ModGetTaskbarHei {

// Twips. A taskbar at the top or at a side is not seen: only the work area's bottom counts.
std::int16_t TaskbarHeight();

}  // namespace corvane::ModGetTaskbarHei
