#pragma once
// The keys that switch tabs: Ctrl+Tab and Ctrl+Shift+Tab step to the next and previous tab
// (wrapping), Ctrl+1 to Ctrl+8 pick the tab at that place and Ctrl+9 the last one.

namespace corvane {

struct KeyChord {
    unsigned vk = 0;  // virtual-key code
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// Whether the chord is one of the tab keys; those never reach the page, even when there is no
// tab for them to select.
bool IsTabKey(const KeyChord& key);

// Ctrl+W and Ctrl+F4 close the selected tab, as its close mark does; they never reach the page
// either.
bool IsCloseTabKey(const KeyChord& key);

// The position the chord selects among `count` tabs with `selected` selected, or -1 for none.
long TabKeyTarget(const KeyChord& key, long count, long selected);

}  // namespace corvane
