#pragma once
// A launch that finds the session's client running asks it to show itself and then ends. That
// client may not answer yet (still starting: connection test, update check, splash) or may be
// ending (an exit, the update path): the launch then asks again and keeps trying to become the
// client itself, for a few seconds at most. It never starts a second client.

#include <cstdint>

namespace corvane {

// The running client's answer. The value comes from another process: only the two known values
// count, anything else is no answer.
enum class ClientAnswer { None, Shown, NotYet };
inline constexpr std::intptr_t kAnswerShown = 1;
inline constexpr std::intptr_t kAnswerNotYet = 2;
ClientAnswer ReadClientAnswer(std::intptr_t result);

enum class LaunchStep { StartClient, EndHandedOver, EndQuietly, Wait };

struct LaunchDecision {
    LaunchStep step;
    unsigned waitMs = 0;  // with Wait: how long to wait for the client lock before the next round
};

inline constexpr unsigned kLaunchBoundMs = 5000;  // the whole wait
inline constexpr unsigned kLaunchRoundMs = 250;   // at most between two questions
inline constexpr unsigned kLaunchAskMs = 1000;    // the longest wait for one answer

// One round: whether this launch holds the client lock now, what the running client answered,
// and the time since the launch began.
LaunchDecision NextLaunchStep(bool lockHeld, ClientAnswer answer, std::uint64_t elapsedMs);
// How long the question of the round at `elapsedMs` may wait for its answer: what is left of the
// bound, but never less than a round, so that the last question is a real one.
unsigned LaunchAskTimeout(std::uint64_t elapsedMs);

}  // namespace corvane
