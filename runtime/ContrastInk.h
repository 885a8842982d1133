#pragma once
// The colours the skins draw their text and bars with. Normally the skin's own; when the user
// has turned High Contrast on, the system's colours of the user's scheme instead, each text on
// a backdrop of its pair, so that it can be read whatever the skin picture behind it shows.

namespace rt::ink {

// System colour numbers (the platform's COLOR_* indexes).
constexpr int kSysActiveCaption = 2;
constexpr int kSysWindow = 5;
constexpr int kSysWindowText = 8;
constexpr int kSysCaptionText = 9;
constexpr int kSysHighlight = 13;
constexpr int kSysHighlightText = 14;
constexpr int kSysButtonFace = 15;
constexpr int kSysButtonText = 18;

// A fixed colour (0x00BBGGRR) or, when `system` is not negative, that system colour.
struct Colour {
    unsigned long rgb = 0;
    int system = -1;
    bool operator==(const Colour&) const = default;
};

// Text, and the backdrop filled behind it (none: the text is drawn over what is there).
struct TextInk {
    Colour text;
    bool backdrop = false;
    Colour back;
    bool operator==(const TextInk&) const = default;
};

enum class Role { TabCaption, SelectedTabCaption, FormCaption };

// `skinText` is the skin's own colour for the role.
TextInk InkFor(Role role, bool highContrast, unsigned long skinText);

// A progress bar in High Contrast: the done part and the rest in solid system colours instead
// of the skin picture.
struct BarInk {
    Colour done;
    Colour rest;
    bool operator==(const BarInk&) const = default;
};
BarInk ProgressInk();

}  // namespace rt::ink
