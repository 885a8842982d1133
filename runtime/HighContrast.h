#pragma once
// Whether the user has turned High Contrast on, and the skins' colours that follow from it
// (runtime/ContrastInk.h). Windows that draw skinned text repaint on WM_SYSCOLORCHANGE, which
// top-level forms pass on to every window inside them when the scheme or the setting changes.

#include <windows.h>

#include <optional>

#include "runtime/ContrastInk.h"

namespace rt {

bool HighContrastOn();
// Tests decide for the system (Wine keeps no High Contrast setting); nullopt: ask the system.
void SetHighContrastForTesting(std::optional<bool> on);

COLORREF Resolve(const ink::Colour& colour);
// Prepares `dc` to draw text of `role`: its colour, and in High Contrast an opaque backdrop.
void ApplyInk(HDC dc, ink::Role role, COLORREF skinText);
// Passes a system colour change on to every window inside `top` and repaints them all.
void SpreadColourChange(HWND top);

}  // namespace rt
