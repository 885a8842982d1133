#include "app/LaunchWait.h"

#include <algorithm>

namespace corvane {

ClientAnswer ReadClientAnswer(std::intptr_t result)
{
    if (result == kAnswerShown) return ClientAnswer::Shown;
    if (result == kAnswerNotYet) return ClientAnswer::NotYet;
    return ClientAnswer::None;
}

LaunchDecision NextLaunchStep(bool lockHeld, ClientAnswer answer, std::uint64_t elapsedMs)
{
    if (lockHeld) return {LaunchStep::StartClient};
    if (answer == ClientAnswer::Shown) return {LaunchStep::EndHandedOver};
    if (elapsedMs >= kLaunchBoundMs) return {LaunchStep::EndQuietly};
    const std::uint64_t left = kLaunchBoundMs - elapsedMs;
    return {LaunchStep::Wait, static_cast<unsigned>(std::min<std::uint64_t>(left, kLaunchRoundMs))};
}

unsigned LaunchAskTimeout(std::uint64_t elapsedMs)
{
    const std::uint64_t left = elapsedMs < kLaunchBoundMs ? kLaunchBoundMs - elapsedMs : 0;
    return static_cast<unsigned>(std::clamp<std::uint64_t>(left, kLaunchRoundMs, kLaunchAskMs));
}

}  // namespace corvane
