#include "runtime/ContrastInk.h"

namespace rt::ink {

namespace {

constexpr Colour System(int index)
{
    return Colour{0, index};
}

}  // namespace

TextInk InkFor(Role role, bool highContrast, unsigned long skinText)
{
    if (!highContrast) return {Colour{skinText}, false, {}};
    switch (role) {
    case Role::TabCaption: return {System(kSysButtonText), true, System(kSysButtonFace)};
    case Role::SelectedTabCaption: return {System(kSysHighlightText), true, System(kSysHighlight)};
    case Role::FormCaption: return {System(kSysCaptionText), true, System(kSysActiveCaption)};
    }
    return {System(kSysWindowText), true, System(kSysWindow)};
}

BarInk ProgressInk()
{
    return {System(kSysHighlight), System(kSysWindow)};
}

}  // namespace rt::ink
