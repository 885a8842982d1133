// The hand-off between a download's reading thread and the thread raising its events: order,
// the bound on how far the reader runs ahead, and Stop releasing a reader that waits.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "net/TransferPipe.h"

namespace {

using corvane::TransferNote;
using corvane::TransferPipe;
using namespace std::chrono_literals;

std::vector<TransferNote::Kind> Kinds(const std::vector<TransferNote>& notes)
{
    std::vector<TransferNote::Kind> kinds;
    for (const TransferNote& n : notes) kinds.push_back(n.kind);
    return kinds;
}

TEST(TransferPipe, NotesArriveInOrderThroughASmallBound)
{
    // Wake sizes below, at and above the bound: every note comes, once, in order.
    for (const std::size_t wakeAfter : {1u, 3u, 8u}) {
        SCOPED_TRACE(wakeAfter);
        TransferPipe pipe(3, wakeAfter);
        std::thread reader([&] {
            pipe.Post({TransferNote::Created});
            for (std::uint32_t i = 1; i <= 50; ++i) pipe.Post({TransferNote::Block, i});
            pipe.Post({TransferNote::End});
            EXPECT_EQ(pipe.WaitForStop(), 1275);
            pipe.Finish();
        });
        std::vector<TransferNote> notes;
        while (notes.empty() || notes.back().kind != TransferNote::End)
            if (const auto note = pipe.Take(5ms)) notes.push_back(*note);
        pipe.Stop(1275);
        while (!pipe.WaitFinished(5ms)) {
        }
        reader.join();
        ASSERT_EQ(notes.size(), 52u);
        EXPECT_EQ(notes.front().kind, TransferNote::Created);
        for (std::uint32_t i = 1; i <= 50; ++i) EXPECT_EQ(notes[i].bytes, i);
        EXPECT_FALSE(pipe.Take(0ms).has_value());
    }
}

TEST(TransferPipe, StopReleasesAReaderWaitingForRoom)
{
    TransferPipe pipe(2, 1);
    EXPECT_TRUE(pipe.Post({TransferNote::Block, 10}));
    EXPECT_TRUE(pipe.Post({TransferNote::Block, 20}));
    bool refused = false;
    std::thread reader([&] {
        refused = !pipe.Post({TransferNote::Block, 30});  // no room: waits, until Stop refuses it
        EXPECT_FALSE(pipe.Post({TransferNote::End}));     // still queued, but the reader is told
        EXPECT_EQ(pipe.WaitForStop(), 10);
        pipe.Finish();
    });
    pipe.Stop(10);
    pipe.Stop(99);  // the first keep holds
    reader.join();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(pipe.Stopped());
    EXPECT_TRUE(pipe.WaitFinished(0ms));
    std::vector<TransferNote> rest;
    while (const auto note = pipe.Take(0ms)) rest.push_back(*note);
    EXPECT_EQ(Kinds(rest), (std::vector<TransferNote::Kind>{TransferNote::Block, TransferNote::Block, TransferNote::End}));
}

TEST(TransferPipe, NothingToTakeAndNotFinished)
{
    TransferPipe pipe(4, 4);
    EXPECT_FALSE(pipe.Take(0ms).has_value());
    EXPECT_FALSE(pipe.Take(1ms).has_value());
    EXPECT_FALSE(pipe.WaitFinished(0ms));
    // Fewer blocks than wake a waiting taker are still handed out when its wait ends.
    pipe.Post({TransferNote::Block, 7});
    const auto note = pipe.Take(1ms);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->bytes, 7u);
}

}  // namespace
