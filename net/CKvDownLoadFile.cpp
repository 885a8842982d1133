#include "net/CKvDownLoadFile.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

#include "net/DownloadReader.h"
#include "runtime/App.h"
#include "runtime/Handles.h"

namespace corvane {

namespace {

using InternetHandle = rt::UniqueHandle<rt::NullInvalidTraits<HINTERNET, ::InternetCloseHandle>>;

// A numeric header of the response; 0 when it is missing or does not parse.
DWORD QueryNumber(HINTERNET request, DWORD what)
{
    DWORD value = 0;
    DWORD length = sizeof value;
    DWORD index = 0;
    if (!::HttpQueryInfoW(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &length, &index)) return 0;
    return value;
}

// Connecting, sending and each wait for data end after `ms` at the latest.
void SetTimeouts(HINTERNET root, DWORD ms)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(root, option, &ms, sizeof ms);
}

// Always from the server, and never into the browser's cache either: a copy of every update
// there wastes disk, and committing a large entry at the end of the body froze the loop for a
// quarter of a second per 200 MB.
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

// The root and the request of one download, shared by the call and the thread that opens them:
// whichever lets go last closes them, the request before the root.
struct Connection {
    InternetHandle root;
    InternetHandle request;
};

// Opens the root and `url` with every wait of the system's bounded by `waitMs` (0: its defaults).
std::shared_ptr<Connection> Connect(const std::wstring& url, DWORD waitMs)
{
    auto connection = std::make_shared<Connection>();
    connection->root.reset(::InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!connection->root) return connection;
    if (waitMs != 0) SetTimeouts(connection->root.get(), waitMs);
    connection->request.reset(::InternetOpenUrlW(connection->root.get(), url.c_str(), nullptr, 0, kOpenFlags, 0));
    return connection;
}

// Connects on a thread of its own while this thread processes its messages: a server that is
// slow to answer, or that sends its headers a byte at a time, must not hold the window, which
// would go unanswered until then. When `stopped()` turns true, WM_QUIT comes (`quit` is set then)
// or `deadline` passes meanwhile, the opening is left to end on its own: nothing is returned, and
// the thread, which owns every handle it uses, closes them when the system lets it go.
template <typename Stopped>
std::shared_ptr<Connection> ConnectWhileProcessingMessages(const std::wstring& url, DWORD waitMs,
                                                           std::optional<ULONGLONG> deadline, Stopped stopped,
                                                           bool& quit)
{
    enum : int { kOpening, kOpened, kLeft };
    struct Opening {
        rt::KernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        std::shared_ptr<Connection> connection;
        std::atomic<int> state{kOpening};
    };
    const auto opening = std::make_shared<Opening>();
    if (!opening->done) return Connect(url, waitMs);
    try {
        std::thread([opening, url, waitMs] {
            opening->connection = Connect(url, waitMs);
            int state = kOpening;
            if (!opening->state.compare_exchange_strong(state, kOpened)) opening->connection.reset();
            ::SetEvent(opening->done.get());
        }).detach();
    } catch (const std::system_error&) {
        return Connect(url, waitMs);
    }
    HANDLE event = opening->done.get();
    for (;;) {
        if (quit || stopped()) break;
        DWORD wait = INFINITE;
        if (deadline) {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= *deadline) break;
            wait = static_cast<DWORD>(*deadline - now);
        }
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &event, FALSE, wait, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) break;
        if (woke == WAIT_OBJECT_0 + 1) quit = !rt::App::DoEvents();
    }
    int state = kOpening;
    if (opening->state.compare_exchange_strong(state, kLeft)) return {};
    return opening->connection;
}

// The longest the window waits for the first block before it processes its messages: a little
// longer than for later ones (DownloadReader::kLongestHold), while the reader starts and makes the
// file, so that a block that comes at once still comes before any message, as it would from a
// read on the window's own thread.
constexpr std::chrono::milliseconds kFirstHold{15};
// Under Wine every look at the message queue is a round trip to the server that costs about as
// much as reading a block: after a block the window's messages are processed only when they were
// last processed at least this long ago.
constexpr std::chrono::milliseconds kYieldEvery{1};

}  // namespace

CKvDownLoadFile::CKvDownLoadFile() : m_alive(std::make_shared<bool>(true)) {}

CKvDownLoadFile::~CKvDownLoadFile()
{
    *m_alive = false;
}

bool CKvDownLoadFile::DownLoadFile(const std::wstring& url, const std::wstring& path, bool hidden, bool raiseEvents)
{
    // A handler may destroy this object: hold the token, and touch no member once it is cleared.
    const std::shared_ptr<bool> alive = m_alive;
    m_stop = false;
    m_receivedAll = false;
    m_announced = 0;
    m_received = 0;

    const bool result = Transfer(url, path, hidden, raiseEvents);
    if (!*alive) return result;
    if (raiseEvents) {
        auto handler = Complete;
        if (handler) handler();
    }
    return result;
}

bool CKvDownLoadFile::Transfer(const std::wstring& url, const std::wstring& path, bool hidden, bool raiseEvents)
{
    const std::shared_ptr<bool> alive = m_alive;
    const ULONGLONG started = ::GetTickCount64();
    // Copies: the clock is read after handlers that may have destroyed this object.
    const std::uint32_t limitMs = m_timeLimitMs;
    const std::uint32_t stallMs = m_stallLimitMs;
    const bool timed = limitMs != 0;
    const auto timeIsUp = [=] { return timed && ::GetTickCount64() - started >= limitMs; };
    // Each wait of the system's (connecting, sending, each wait for data) ends within both bounds.
    const DWORD waitMs = timed && (stallMs == 0 || limitMs < stallMs) ? limitMs : stallMs;
    // Connecting and the headers count against the whole time, and as one wait for bytes.
    std::optional<ULONGLONG> deadline;
    if (timed) deadline = started + limitMs;
    if (stallMs != 0 && (!deadline || started + stallMs < *deadline)) deadline = started + stallMs;
    bool quitWhileOpening = false;
    // A handler run meanwhile may destroy this object: its stop flag is read only while it lives.
    const auto stopped = [this, &alive] { return !*alive || m_stop; };
    const std::shared_ptr<Connection> connection =
        ConnectWhileProcessingMessages(url, waitMs, deadline, stopped, quitWhileOpening);
    // A handler run meanwhile may have destroyed this object, stopped the download or ended the
    // program.
    if (!*alive || quitWhileOpening) return false;
    if (!connection && deadline && ::GetTickCount64() >= *deadline)
        rt::App::LogEvent(L"CKvDownLoadFile: " + url + L" sent no response in time");
    if (!connection || !connection->request || m_stop || timeIsUp()) return false;
    const InternetHandle& request = connection->request;
    if (QueryNumber(request.get(), HTTP_QUERY_STATUS_CODE) != 200) return false;
    // Sizes of 2 GiB and more read as negative: outside what the program downloads.
    const auto announced = static_cast<std::int32_t>(QueryNumber(request.get(), HTTP_QUERY_CONTENT_LENGTH));
    if (announced <= 0) return false;
    if (m_maxBytes > 0 && announced > m_maxBytes) {
        rt::App::LogEvent(L"CKvDownLoadFile: " + url + L" announces " + std::to_wstring(announced) +
                          L" bytes, more than the " + std::to_wstring(m_maxBytes) + L" allowed");
        return false;
    }
    m_announced = announced;

    if (raiseEvents) {
        auto handler = QueryFileInfo;
        std::int32_t size = announced;
        if (handler) handler(size);
        if (!*alive) return false;
    }

    std::int32_t total = 0;
    std::optional<DownloadReader> reader;
    try {
        reader.emplace(DownloadReaderJob{request.get(), path, hidden, timed || stallMs != 0, connection}, total);
    } catch (const std::system_error&) {
        rt::App::LogEvent(L"CKvDownLoadFile: no thread to read " + url + L" with");
        return false;
    }
    bool quit = false;
    bool writeFailed = false;
    bool late = false;
    bool ended = false;
    ULONGLONG lastBytes = ::GetTickCount64();
    const auto stalled = [&] { return stallMs != 0 && ::GetTickCount64() - lastBytes >= stallMs; };
    std::optional<std::chrono::steady_clock::time_point> lastYield;  // none yet: the first block yields
    const auto yield = [&] {
        lastYield = std::chrono::steady_clock::now();
        return rt::App::DoEvents();
    };
    // Each note is taken as it comes; while none comes the window processes its messages.
    const auto take = [&]() -> std::optional<TransferNote> {
        for (;;) {
            if (std::optional<TransferNote> note = reader->Pipe().Take(total == 0 ? kFirstHold : DownloadReader::kLongestHold)) {
                reader->Saw(*note);
                return note;
            }
            if (total < announced && (timeIsUp() || stalled())) {
                late = true;
                rt::App::LogEvent(L"CKvDownLoadFile: " + url + (stalled() ? L" stalled" : L" took too long"));
                return std::nullopt;
            }
            quit = !yield();
            if (!*alive || quit || m_stop) return std::nullopt;
        }
    };
    while (!ended && !m_stop) {
        const std::optional<TransferNote> note = take();
        if (!note) break;
        switch (note->kind) {
        case TransferNote::Created:
            continue;
        case TransferNote::CreateFailed:
        case TransferNote::End:
            ended = true;
            continue;
        case TransferNote::WriteFailed:
            // A full disk must not pass for a whole file: the updater would install the stump.
            writeFailed = true;
            ended = true;
            rt::App::LogEvent(L"CKvDownLoadFile: writing " + path + L" failed, error " + std::to_wstring(note->error));
            continue;
        case TransferNote::Block:
            break;
        }
        total += static_cast<std::int32_t>(note->bytes);
        lastBytes = ::GetTickCount64();
        m_received = total;
        if (total > announced || (total < announced && timeIsUp())) {
            late = true;
            rt::App::LogEvent(L"CKvDownLoadFile: " + url +
                              (total > announced ? L" sent more than announced" : L" took too long"));
            break;
        }
        if (raiseEvents) {
            auto handler = Loading;
            std::int32_t received = total;
            if (handler) handler(received);
            if (!*alive) break;
        }
        if (lastYield && std::chrono::steady_clock::now() - *lastYield < kYieldEvery) continue;
        // WM_QUIT means the program is ending: the transfer stops as a cancel would.
        quit = !yield();
        if (!*alive || quit) break;
    }
    // Given up on a server that sends nothing: the reader may wait in a read longer than the
    // system's bound (Wine's), so it is left to end on its own.
    const bool created = late ? reader->Abandon() : reader->Join(true);
    if (!*alive) return true;
    if (!created) return false;
    m_receivedAll = !m_stop && !quit && !writeFailed && !late && total == announced;
    return true;
}

}  // namespace corvane
