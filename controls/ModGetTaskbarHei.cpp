#include "controls/ModGetTaskbarHei.h"

#include <windows.h>

#include "controls/ResizeZones.h"
#include "runtime/Screen.h"

namespace corvane::ModGetTaskbarHei {

std::int16_t TaskbarHeight()
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return TaskbarHeightTwips(rt::Screen::Height(), work.bottom, rt::Screen::Scale().TwipsPerPixelX());
}

}  // namespace corvane::ModGetTaskbarHei
