// A later launch of the client: what the running client brings to the front, and how long the
// later launch waits for it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ClientFront.h"
#include "app/LaunchWait.h"

namespace {

using namespace corvane;

TEST(ClientFront, MainWindowBeforeLoginPairAndNothingWhileStartingOrEnding)
{
    std::string shown;
    auto show = [&shown](const char* name) { return [&shown, name] { shown += name; }; };
    EXPECT_FALSE(BringFrontBack()) << "starting: nothing offered yet";

    FrontOffer login = OfferFront(FrontRank::LoginPair, show("login "));
    EXPECT_TRUE(BringFrontBack());
    {
        FrontOffer main = OfferFront(FrontRank::MainWindow, show("main "));
        EXPECT_TRUE(BringFrontBack());
        // A further login shows the pair again while the main window is up.
        FrontOffer again = OfferFront(FrontRank::LoginPair, show("again "));
        EXPECT_TRUE(BringFrontBack());
        FrontOffer moved = std::move(main);
        EXPECT_TRUE(BringFrontBack());
    }
    EXPECT_TRUE(BringFrontBack()) << "the first pair's offer is left";
    login.Withdraw();
    EXPECT_FALSE(BringFrontBack()) << "ending: every offer withdrawn";
    EXPECT_EQ(shown, "login main main main login ");
}

TEST(ClientFront, AWindowMayWithdrawItsOfferWhileComingBack)
{
    FrontOffer offer;
    int calls = 0;
    offer = OfferFront(FrontRank::MainWindow, [&] {
        ++calls;
        offer.Withdraw();
    });
    EXPECT_TRUE(BringFrontBack());
    EXPECT_FALSE(BringFrontBack());
    EXPECT_EQ(calls, 1);
}

TEST(LaunchWait, RoundsUntilHandedOverStartedOrBound)
{
    struct Round {
        bool lockHeld;
        std::intptr_t answer;  // as the running client's window returned it
        std::uint64_t elapsedMs;
        LaunchStep step;
        unsigned waitMs;
    } rounds[] = {
        {true, kAnswerShown, 0, LaunchStep::StartClient, 0},  // the lock decides
        {false, kAnswerShown, 9000, LaunchStep::EndHandedOver, 0},
        {false, kAnswerNotYet, 0, LaunchStep::Wait, kLaunchRoundMs},
        {false, 0, 1200, LaunchStep::Wait, kLaunchRoundMs},  // no window, or no answer in time
        {false, 0x10001, 1200, LaunchStep::Wait, kLaunchRoundMs},  // not an answer
        {false, kAnswerNotYet, kLaunchBoundMs - 100, LaunchStep::Wait, 100},
        {false, kAnswerNotYet, kLaunchBoundMs, LaunchStep::EndQuietly, 0},
        {true, 0, kLaunchBoundMs + 800, LaunchStep::StartClient, 0},  // the last wait got the lock
    };
    for (const Round& r : rounds) {
        SCOPED_TRACE(r.elapsedMs);
        const LaunchDecision d = NextLaunchStep(r.lockHeld, ReadClientAnswer(r.answer), r.elapsedMs);
        EXPECT_EQ(d.step, r.step);
        if (r.step == LaunchStep::Wait) EXPECT_EQ(d.waitMs, r.waitMs);
    }
    // The last question still gets a round's time to be answered.
    EXPECT_EQ(LaunchAskTimeout(0), kLaunchAskMs);
    EXPECT_EQ(LaunchAskTimeout(kLaunchBoundMs * 100), kLaunchRoundMs);
}

}  // namespace
