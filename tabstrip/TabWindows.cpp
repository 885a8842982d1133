#include "tabstrip/TabWindows.h"

#include "runtime/Rounding.h"

namespace corvane {

ScreenPoint CentreOnScreen(long screenWidth, long screenHeight, long windowWidth, long windowHeight)
{
    return {rt::RoundHalfEven((screenWidth - windowWidth) / 2.0), rt::RoundHalfEven((screenHeight - windowHeight) / 2.0)};
}

}  // namespace corvane
