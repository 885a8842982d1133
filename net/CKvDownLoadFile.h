#pragma once
// CKvDownLoadFile: fetches one URL over HTTP into one file. The call returns when the transfer is
// over; its events come on the calling thread, and between blocks (and while a block is slow to
// come) the calling thread processes its window messages, so that windows stay responsive and a
// cancel button can call StopDownLoad. The blocks are read and written on a thread of the call's
// own, a few ahead of the events: nothing that can block (a stalled server, a large file emptied)
// holds the window. Responses other than 200 and responses without a Content-Length are not
// downloaded at all, and then no file is created or touched.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace corvane {

class CKvDownLoadFile {
public:
    static constexpr std::uint32_t kBlockSize = 8192;

    CKvDownLoadFile();
    ~CKvDownLoadFile();
    CKvDownLoadFile(const CKvDownLoadFile&) = delete;
    CKvDownLoadFile& operator=(const CKvDownLoadFile&) = delete;

    // --- Events, raised only when DownLoadFile is asked to ---
    // The announced size, once, before the file is created.
    std::function<void(std::int32_t& size)> QueryFileInfo;
    // The running total after each block has been written.
    std::function<void(std::int32_t& received)> Loading;
    // Once at the end of every call, also when nothing was downloaded.
    std::function<void()> Complete;

    // True when the transfer loop ran, whether or not every announced byte arrived (a read error,
    // a failed write, an early end or StopDownLoad keep what was received): ask ReceivedAll.
    bool DownLoadFile(const std::wstring& url, const std::wstring& path, bool hidden, bool raiseEvents);
    // Ends the running transfer after the block in progress; the file keeps exactly the bytes the
    // Loading events reported.
    void StopDownLoad() { m_stop = true; }

    // Bounds for a download whose size and pace the far end decides (the manifest), for later
    // calls; 0 means none. A response announcing more than `maxBytes` is not downloaded; a
    // transfer not finished within `ms` of the call is cut off and is not whole. With a time
    // bound every read takes only what has arrived, so a trickle cannot hold the call past it.
    void LimitSize(std::int32_t maxBytes) { m_maxBytes = maxBytes; }
    void LimitTime(std::uint32_t ms) { m_timeLimitMs = ms; }
    // A transfer during which no byte comes for `ms` (the response's headers included) ends and
    // is not whole; 0 means none. Every read then takes only what has arrived, as with a time
    // bound.
    void LimitStall(std::uint32_t ms) { m_stallLimitMs = ms; }

    // Of the last call: the transfer ran, was not stopped and delivered exactly the announced
    // number of bytes.
    bool ReceivedAll() const { return m_receivedAll; }
    std::int32_t AnnouncedBytes() const { return m_announced; }
    std::int32_t ReceivedBytes() const { return m_received; }

private:
    bool Transfer(const std::wstring& url, const std::wstring& path, bool hidden, bool raiseEvents);

    bool m_stop = false;
    bool m_receivedAll = false;
    std::int32_t m_maxBytes = 0;
    std::uint32_t m_timeLimitMs = 0;
    std::uint32_t m_stallLimitMs = 0;
    std::int32_t m_announced = 0;
    std::int32_t m_received = 0;
    // Cleared by the destructor: a handler may destroy the downloader inside its own event.
    std::shared_ptr<bool> m_alive;
};

}  // namespace corvane
