// Raising an event through RaiseEvent: the handler runs on a copy, so it may replace itself or
// destroy the raiser, and the raiser learns whether it survived.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "runtime/Liveness.h"
#include "tests/driver/Lifetime.h"

namespace {

struct Raiser {
    rt::Liveness life;
    std::function<void(int&)> Changed;
    int value = 0;

    // As the controls do: nothing of the object is touched once it is gone.
    bool Fire()
    {
        int argument = 1;
        if (!rt::RaiseEvent(life, Changed, argument)) return false;
        value = argument;
        return true;
    }
};

TEST(Liveness, RaiseReportsWhetherTheRaiserSurvived)
{
    auto raiser = std::make_unique<Raiser>();
    EXPECT_TRUE(raiser->Fire());  // no handler
    EXPECT_EQ(raiser->value, 1);

    raiser->Changed = [](int& argument) { argument = 7; };
    EXPECT_TRUE(raiser->Fire());
    EXPECT_EQ(raiser->value, 7);  // by-reference arguments come back

    // The handler destroys the raiser and reads its own captures afterwards: under the
    // sanitizers this fails unless the handler runs on a copy.
    lifetime::Canary seen;
    bool capturesIntact = false;
    raiser->Changed = [&, canary = lifetime::Canary(), text = std::string(64, 'x')](int&) {
        raiser.reset();
        capturesIntact = canary.Alive() && text == std::string(64, 'x');
    };
    Raiser* raw = raiser.get();
    EXPECT_FALSE(raw->Fire());
    EXPECT_FALSE(raiser);
    EXPECT_TRUE(capturesIntact);
}

TEST(Liveness, HandlerMayReplaceItselfWhileRunning)
{
    Raiser raiser;
    int calls = 0;
    bool capturesIntact = false;
    raiser.Changed = [&, canary = lifetime::Canary(), text = std::string(64, 'y')](int&) {
        raiser.Changed = [&](int&) { ++calls; };
        capturesIntact = canary.Alive() && text == std::string(64, 'y');
    };
    EXPECT_TRUE(raiser.Fire());
    EXPECT_TRUE(capturesIntact);
    EXPECT_TRUE(raiser.Fire());
    EXPECT_EQ(calls, 1);
}

TEST(Liveness, ACopyLivesOnItsOwn)
{
    auto first = std::make_unique<rt::Liveness>();
    rt::Liveness second(*first);
    const rt::Liveness::Watch watchFirst = first->Observe();
    const rt::Liveness::Watch watchSecond = second.Observe();
    second = *first;
    first.reset();
    EXPECT_FALSE(watchFirst.Alive());
    EXPECT_TRUE(watchSecond.Alive());
}

TEST(PoisonedBox, SeesWritesAfterTheObjectWasKilled)
{
    lifetime::PoisonedBox<Raiser> box;
    box.Make();
    box->Changed = [&](int&) { box.Kill(); };
    EXPECT_FALSE(box->Fire());
    EXPECT_FALSE(box.Alive());
    EXPECT_TRUE(box.Untouched());

    // A raiser that ignores the report writes into the dead object.
    lifetime::PoisonedBox<Raiser> careless;
    careless.Make();
    careless->Changed = [&](int&) { careless.Kill(); };
    Raiser* raw = careless.get();
    int argument = 5;
    rt::RaiseEvent(raw->life, raw->Changed, argument);
    raw->value = argument;  // what the check prevents
    EXPECT_FALSE(careless.Untouched());
}

}  // namespace
