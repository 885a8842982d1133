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
        ClientAnswer answer;
        std::uint64_t elapsedMs;
        LaunchStep step;
        unsigned waitMs;
    } rounds[] = {
        {true, ClientAnswer::None, 0, LaunchStep::StartClient, 0},
        {true, ClientAnswer::Shown, 0, LaunchStep::StartClient, 0},  // the lock decides
        {false, ClientAnswer::Shown, 0, LaunchStep::EndHandedOver, 0},
        {false, ClientAnswer::Shown, 9000, LaunchStep::EndHandedOver, 0},
        {false, ClientAnswer::NotYet, 0, LaunchStep::Wait, kLaunchRoundMs},
        {false, ClientAnswer::None, 1200, LaunchStep::Wait, kLaunchRoundMs},
        {false, ClientAnswer::NotYet, kLaunchBoundMs - 100, LaunchStep::Wait, 100},
        {false, ClientAnswer::NotYet, kLaunchBoundMs, LaunchStep::EndQuietly, 0},
        {false, ClientAnswer::None, kLaunchBoundMs + 1, LaunchStep::EndQuietly, 0},
        {true, ClientAnswer::None, kLaunchBoundMs + 800, LaunchStep::StartClient, 0},
    };
    for (const Round& r : rounds) {
        SCOPED_TRACE(r.elapsedMs);
        const LaunchDecision d = NextLaunchStep(r.lockHeld, r.answer, r.elapsedMs);
        EXPECT_EQ(d.step, r.step);
        if (r.step == LaunchStep::Wait) EXPECT_EQ(d.waitMs, r.waitMs);
    }
}

TEST(LaunchWait, AnswersAndAskTimeoutsAreBounded)
{
    EXPECT_EQ(ReadClientAnswer(kAnswerShown), ClientAnswer::Shown);
    EXPECT_EQ(ReadClientAnswer(kAnswerNotYet), ClientAnswer::NotYet);
    for (std::intptr_t other : {std::intptr_t{0}, std::intptr_t{3}, std::intptr_t{-1}, std::intptr_t{0x10001}})
        EXPECT_EQ(ReadClientAnswer(other), ClientAnswer::None) << other;

    EXPECT_EQ(LaunchAskTimeout(0), kLaunchAskMs);
    EXPECT_EQ(LaunchAskTimeout(kLaunchBoundMs - 600), 600u);
    EXPECT_EQ(LaunchAskTimeout(kLaunchBoundMs - 10), kLaunchRoundMs);
    EXPECT_EQ(LaunchAskTimeout(kLaunchBoundMs * 100), kLaunchRoundMs);
}

}  // namespace
