#include "runtime/HighContrast.h"

namespace rt {

static_assert(ink::kSysActiveCaption == COLOR_ACTIVECAPTION && ink::kSysWindow == COLOR_WINDOW &&
              ink::kSysWindowText == COLOR_WINDOWTEXT && ink::kSysCaptionText == COLOR_CAPTIONTEXT &&
              ink::kSysHighlight == COLOR_HIGHLIGHT && ink::kSysHighlightText == COLOR_HIGHLIGHTTEXT &&
              ink::kSysButtonFace == COLOR_BTNFACE && ink::kSysButtonText == COLOR_BTNTEXT);

namespace {

std::optional<bool>& TestChoice()
{
    static std::optional<bool> choice;
    return choice;
}

BOOL CALLBACK TellOfColourChange(HWND child, LPARAM)
{
    ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

}  // namespace

bool HighContrastOn()
{
    if (TestChoice()) return *TestChoice();
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON);
}

void SetHighContrastForTesting(std::optional<bool> on)
{
    TestChoice() = on;
}

COLORREF Resolve(const ink::Colour& colour)
{
    return colour.system >= 0 ? ::GetSysColor(colour.system) : static_cast<COLORREF>(colour.rgb);
}

void ApplyInk(HDC dc, ink::Role role, COLORREF skinText)
{
    const ink::TextInk chosen = ink::InkFor(role, HighContrastOn(), skinText);
    ::SetTextColor(dc, Resolve(chosen.text));
    if (chosen.backdrop) {
        ::SetBkColor(dc, Resolve(chosen.back));
        ::SetBkMode(dc, OPAQUE);
    } else {
        ::SetBkMode(dc, TRANSPARENT);
    }
}

void SpreadColourChange(HWND top)
{
    ::EnumChildWindows(top, &TellOfColourChange, 0);
    ::RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace rt
