#include <gtest/gtest.h>

#include "runtime/ContrastInk.h"

namespace {

using namespace rt::ink;

TEST(ContrastInk, SkinColoursUntilHighContrastThenSystemPairs)
{
    constexpr unsigned long kSkin = 0x00A36004;
    const struct {
        Role role;
        bool highContrast;
        TextInk ink;
    } cases[] = {
        {Role::TabCaption, false, {Colour{kSkin}, false, {}}},
        {Role::SelectedTabCaption, false, {Colour{kSkin}, false, {}}},
        {Role::FormCaption, false, {Colour{kSkin}, false, {}}},
        // Each text on the backdrop its system colour is meant for, never on the skin.
        {Role::TabCaption, true, {Colour{0, kSysButtonText}, true, Colour{0, kSysButtonFace}}},
        {Role::SelectedTabCaption, true, {Colour{0, kSysHighlightText}, true, Colour{0, kSysHighlight}}},
        {Role::FormCaption, true, {Colour{0, kSysCaptionText}, true, Colour{0, kSysActiveCaption}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InkFor(c.role, c.highContrast, kSkin), c.ink)
            << static_cast<int>(c.role) << " high contrast " << c.highContrast;
    }
    EXPECT_EQ(ProgressInk(), (BarInk{Colour{0, kSysHighlight}, Colour{0, kSysWindow}}));
}

}  // namespace
