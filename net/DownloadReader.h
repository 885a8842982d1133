#pragma once
// The reading half of a download: a thread of its own makes the file, reads the response in
// blocks of CKvDownLoadFile::kBlockSize and writes them, a few blocks ahead of the caller, and
// tells the caller's thread each step through the pipe. Every call that can block (emptying a
// large file, a read from a stalled server, a write) is made there. At the end the file keeps
// exactly the bytes the caller reported, however far the reader had got.

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "net/TransferPipe.h"

namespace corvane {

struct DownloadReaderJob {
    HINTERNET request;  // kept open by `owner` for as long as the reader runs
    std::wstring path;
    bool hidden;
    bool availableOnly;  // read only what has arrived (a trickle cannot hold a read past Stop)
    std::shared_ptr<void> owner;
};

class DownloadReader {
public:
    // The longest the caller's thread waits for the reader before it processes its messages.
    static constexpr std::chrono::milliseconds kLongestHold{10};

    // Starts the thread; std::system_error when there is none to be had. `reported` is the
    // caller's running total, which the file is cut back to at the end.
    DownloadReader(DownloadReaderJob job, const std::int32_t& reported);
    ~DownloadReader();
    DownloadReader(const DownloadReader&) = delete;
    DownloadReader& operator=(const DownloadReader&) = delete;

    TransferPipe& Pipe() { return m_state->pipe; }
    // Every note the caller takes passes here.
    void Saw(const TransferNote& note);
    // Stops the reader after what it is doing and waits for it, processing the window's
    // messages meanwhile when `pump`. True when it had made the file.
    bool Join(bool pump);
    // Stops the reader and leaves it to end on its own, with everything it uses, once the read it
    // is in returns: a server that sends nothing may hold a read longer than the system's bound.
    // The file is cut back as with Join and may be removed meanwhile. True when it had made the
    // file.
    bool Abandon();

private:
    struct State {
        State(DownloadReaderJob j, std::size_t maxAhead, std::size_t wakeAfter)
            : pipe(maxAhead, wakeAfter), job(std::move(j))
        {
        }
        TransferPipe pipe;
        DownloadReaderJob job;
    };
    void TakeLeftNotes();

    std::shared_ptr<State> m_state;
    const std::int32_t& m_reported;
    std::thread m_thread;
    bool m_created = false;
};

}  // namespace corvane
