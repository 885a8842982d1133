// Alone in its file: only this one is compiled again when the commit changes.
#include "update/BuildTime.h"

#ifndef CORVANE_BUILD_TIME
#error "CORVANE_BUILD_TIME must name the commit's time as YYYY-MM-DDTHH:MM:SSZ (it may be empty)"
#endif

namespace corvane {

std::optional<UtcSeconds> BuildCommitTime()
{
    static const std::optional<UtcSeconds> time = ParseUtcTime(CORVANE_BUILD_TIME);
    return time;
}

}  // namespace corvane
