#pragma once
// What a reader hears about an iButton: push button or, for a two-state button, check button
// with its checked state; the caption as its name, or the name its form gave a picture-only
// button; pressed while held down; "按下" as its default action.

#include <cstdint>
#include <string>

#include "runtime/AccessibleModel.h"

namespace corvane {

struct ButtonFacts {
    std::wstring caption;
    std::wstring givenName;  // set by the form for buttons that show only a picture
    std::int32_t style = 0;  // 1: two-state
    bool value = false;      // a two-state button's state
    bool pressed = false;    // held down by the mouse or the space bar
};

rt::acc::Item DescribeButton(const ButtonFacts& facts);

}  // namespace corvane
