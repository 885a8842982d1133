#include "login/LoginLayout.h"

#include "runtime/Rounding.h"

namespace corvane {

int CentredOrigin(int extent, int size)
{
    return rt::RoundHalfEven((extent - size) / 2.0);
}

}  // namespace corvane
