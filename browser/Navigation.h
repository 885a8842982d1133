#pragma once
// What a page asks of its view when it navigates, as the engines tell it to the host's rule.

namespace browser {

// Where a navigation would show: the view's own page, a frame inside it, or a window the page
// asked for (window.open, a link or form with a target of its own), which opens in the view.
enum class NavigationKind { TopLevel, Frame, NewWindow };

}  // namespace browser
