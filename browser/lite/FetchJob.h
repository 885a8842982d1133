#pragma once
// Fetches on a worker thread and tells a window when it is done, so that a slow or dead server
// never holds up the window's thread. The window's thread starts a job, keeps it,
// and takes its results when the job's message arrives; a job it drops (a newer navigation,
// the view going away) finishes in the background and its results are thrown away. The worker
// holds its own reference to the loader and to the job, so nothing it uses goes before it ends.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "browser/lite/HttpLoader.h"

namespace browser {

struct FetchRequest {
    std::wstring url;
    std::optional<std::string> post;
    std::size_t maxBytes = 32u << 20;
    std::chrono::milliseconds timeLimit = HttpLoader::kTimeLimit;
};

class FetchJob {
public:
    // What a worker runs for one request; it may stop early once `abandoned` holds.
    using Fetcher = std::function<HttpResult(const FetchRequest& request, const std::atomic<bool>& abandoned)>;

    // Fetches `requests` in order on a worker, then posts `message` (wParam `id`) to `notify`.
    // The process has at most kMaxFetchWorkers workers; a job waits for a free one. nullptr when
    // kMaxWaitingFetches jobs wait already, or no thread can be started at all. Idle workers end
    // two seconds after their last job.
    // A job not done when its requests' time limits (together, counted from here) and a grace of
    // kGrace have passed is given up: its results say ERROR_INTERNET_TIMEOUT (no connection) and
    // its message comes then, and the request under way is cancelled. Where WinINet does not let
    // go (Wine) the worker goes on until the server does, and what it brings then is dropped;
    // meanwhile it leaves its place to another worker: a server that trickles its headers holds a
    // thread, neither the page nor the other fetches.
    // A fetch that throws (std::bad_alloc for a body the process has no room for) is a failed
    // fetch: no connection, error ERROR_NOT_ENOUGH_MEMORY.
    static std::shared_ptr<FetchJob> Start(std::shared_ptr<HttpLoader> http, std::vector<FetchRequest> requests,
                                           HWND notify, UINT message, WPARAM id);
    // At the time limit `cancel`, when given, ends the request under way.
    static std::shared_ptr<FetchJob> Start(Fetcher fetch, std::vector<FetchRequest> requests, HWND notify,
                                           UINT message, WPARAM id, std::shared_ptr<RequestCancel> cancel = nullptr);
    ~FetchJob();

    // The results, one per request, once the message has arrived (empty before).
    std::vector<HttpResult> TakeResults();
    // Lets the worker skip what it has not begun; the window will not look at the results.
    void Abandon() { m_abandoned = true; }

    // Jobs whose worker has not finished them yet, in the whole process (for tests).
    static int Running();

    static constexpr std::chrono::milliseconds kGrace{2000};

private:
    FetchJob() = default;
    // Runs the requests; true when the time limit passed while they ran (the worker was held).
    bool Run(const Fetcher& fetch);
    // Ends the job with `results` and tells the window, unless it ended already; m_mutex is held.
    void FinishLocked(std::vector<HttpResult> results);
    static void CALLBACK GiveUp(void* job, BOOLEAN);

    // m_results, m_done, m_running and m_held, between the worker and the time limit's timer
    std::mutex m_mutex;
    HANDLE m_timer = nullptr;
    bool m_running = false;
    bool m_held = false;
    std::shared_ptr<RequestCancel> m_cancel;

    std::vector<FetchRequest> m_requests;
    std::vector<HttpResult> m_results;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_abandoned{false};
    HWND m_notify = nullptr;
    UINT m_message = 0;
    WPARAM m_id = 0;
};

}  // namespace browser
