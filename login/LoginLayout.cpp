#include "login/LoginLayout.h"

#include "runtime/Rounding.h"

namespace corvane {

int CentredOrigin(int extent, int size)
{
    return rt::RoundHalfEven((extent - size) / 2.0);
}

rt::PixelRect LoginPairRectAt(int left, int top, int dpi)
{
    return {left, top, left + rt::ScalePixels(kLoginPairWidth, dpi), top + rt::ScalePixels(kLoginPairHeight, dpi)};
}

rt::PixelSize LoginBrowserSizeAt(int dpi)
{
    return {rt::ScalePixels(kLoginBrowserWidth, dpi), rt::ScalePixels(kLoginBrowserHeight, dpi)};
}

}  // namespace corvane
