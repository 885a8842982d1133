#pragma once
// Mouse messages as the forms' and controls' events see them: button 1 left, 2 right, 4 middle
// (for moves, the buttons held), shift 1 Shift, 2 Ctrl, 4 Alt, coordinates in twips.

#include <windows.h>

#include "runtime/Twips.h"

namespace rt {

enum class MouseAction { None, Down, Up, Move, DoubleClick };

struct MouseEvent {
    MouseAction action = MouseAction::None;
    int button = 0;
    int shift = 0;
    double x = 0;
    double y = 0;
};

// Shift keys held now (1 Shift, 2 Ctrl, 4 Alt), and the buttons held in a mouse message's key flags.
int ShiftState();
int HeldButtons(WPARAM keys);

// Translates a client-area mouse message with the twips factors of the window it came to; action
// None for other messages.
MouseEvent TranslateMouse(UINT msg, WPARAM wParam, LPARAM lParam, const TwipsScale& scale);

}  // namespace rt
