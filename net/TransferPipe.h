#pragma once
// What a download's reading thread tells the thread that raises its events, in the order it
// happened, and how far the reader may run ahead of the events. The reader waits when
// `maxAhead` blocks are not yet taken; the events' thread waits for notes at most the time it
// asks for, so that it can process its window messages meanwhile. Waking a thread costs more
// than reading a block (a round trip to the server under Wine), so a waiting taker is woken
// only once `wakeAfter` notes are there, or a note that ends the transfer.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace corvane {

struct TransferNote {
    enum Kind { Created, CreateFailed, Block, WriteFailed, End };
    Kind kind = End;
    std::uint32_t bytes = 0;  // Block: the bytes written
    std::uint32_t error = 0;  // CreateFailed, WriteFailed: the system's error code
};

class TransferPipe {
public:
    TransferPipe(std::size_t maxAhead, std::size_t wakeAfter)
        : m_maxAhead(maxAhead == 0 ? 1 : maxAhead), m_wakeAfter(wakeAfter == 0 ? 1 : wakeAfter)
    {
    }
    TransferPipe(const TransferPipe&) = delete;
    TransferPipe& operator=(const TransferPipe&) = delete;

    // --- The reader ---
    // Queues a note; a block first waits while `maxAhead` blocks are untaken. False once Stop was
    // called: a block is then dropped, other notes are still queued.
    bool Post(const TransferNote& note);
    bool Stopped() const;
    // Waits for Stop, which the events' thread always calls last; how many bytes the file keeps.
    std::int64_t WaitForStop();
    // The reader's last act: after it the reader touches nothing the events' thread owns.
    void Finish();

    // --- The events' thread ---
    // The next note; when there is none, waits at most `wait` for some.
    std::optional<TransferNote> Take(std::chrono::milliseconds wait);
    // Ends the reader after what it is doing; the file is cut back to `keepBytes`.
    void Stop(std::int64_t keepBytes);
    // True once the reader has finished, waiting at most `wait`.
    bool WaitFinished(std::chrono::milliseconds wait);

private:
    bool Enough() const;

    const std::size_t m_maxAhead;
    const std::size_t m_wakeAfter;
    mutable std::mutex m_mutex;
    std::condition_variable m_taken;   // the reader waits here for room
    std::condition_variable m_posted;  // the events' thread waits here for notes and the end
    std::deque<TransferNote> m_notes;
    std::size_t m_blocks = 0;  // untaken Block notes
    bool m_takerWaits = false;
    bool m_posterWaits = false;
    bool m_stopped = false;
    bool m_finished = false;
    std::int64_t m_keep = -1;
};

}  // namespace corvane
