#pragma once
// The page's keyboard focus order: its links and form controls as laid out, in document order.
// Tab walks it forwards, Shift+Tab backwards, and both wrap around at the ends.

#include <vector>

#include "browser/html/Dom.h"
#include "browser/layout/Layout.h"

namespace browser {

struct FocusStop {
    const Node* element = nullptr;
    bool link = false;  // a link; otherwise a form control
};

// Disabled controls and elements with a negative tabindex are left out, as in a browser.
std::vector<FocusStop> FocusOrder(const Document& document, const PageLayout& layout);

// The stop after `current` (before it, backwards), wrapping; the first (the last) stop when
// `current` is none of them; nullptr when the page has no stop.
const FocusStop* NextFocusStop(const std::vector<FocusStop>& order, const Node* current, bool forward);

// The bounding box of an element's link areas or control box, page coordinates; empty when it
// was not laid out.
Rect FocusStopBounds(const PageLayout& layout, const Node* element);

}  // namespace browser
