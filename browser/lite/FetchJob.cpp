#include "browser/lite/FetchJob.h"

#include "browser/html/PageLimits.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace browser {

namespace {

std::atomic<int> g_running{0};

// The workers the jobs run on. A thread's first fetch costs several milliseconds more than its
// later ones (under Wine more than the fetch itself), so threads are kept for a while after
// their job and take the next one. A thread is added whenever more jobs wait than threads are
// idle, up to kMaxFetchWorkers: a page cannot make the process start threads (and reserve their
// stacks) without end; further jobs wait their turn, and at most kMaxWaitingFetches of them.
// A worker held past its job's time limit makes room for another (FetchWorkerCount).
class Workers {
public:
    static Workers& Instance()
    {
        // Never destroyed: detached threads may still be winding down at exit.
        static Workers* workers = new Workers();
        return *workers;
    }

    // A task says whether its worker was held past its time limit meanwhile.
    bool Post(std::function<bool()> task)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_tasks.size() >= kMaxWaitingFetches) return false;
        m_tasks.push_back(std::move(task));
        // Without a new thread the job still runs when one is free; with none at all it never would.
        if (!StartIfWanted() && m_count.Counted() == 0) {
            m_tasks.pop_back();
            return false;
        }
        m_wake.notify_one();
        return true;
    }

    // The calling task's worker is held past its time limit: true when another may take its place.
    bool Hold()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_count.Hold()) return false;
        StartIfWanted();
        return true;
    }

private:
    static constexpr std::chrono::seconds kIdleLife{2};

    // Starts a thread when the jobs waiting want one; false when none could start.
    bool StartIfWanted()
    {
        if (!m_count.StartFor(m_tasks.size(), m_idle)) return true;
        try {
            std::thread([this] { Loop(); }).detach();
            return true;
        } catch (const std::system_error&) {
            m_count.Ended();
            return false;
        }
    }

    void Loop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            ++m_idle;
            const bool work = m_wake.wait_for(lock, kIdleLife, [this] { return !m_tasks.empty(); });
            --m_idle;
            if (!work) {
                m_count.Ended();
                return;
            }
            std::function<bool()> task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            const bool held = task();
            task = nullptr;  // the job goes here, not with the next one
            lock.lock();
            if (held && !m_count.Free()) return;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<bool()>> m_tasks;
    std::size_t m_idle = 0;
    FetchWorkerCount m_count;
};

}  // namespace

int FetchJob::Running() { return g_running.load(); }

FetchJob::~FetchJob()
{
    // Waits for a time-limit call under way: none reaches this job once this returns.
    if (m_timer) ::DeleteTimerQueueTimer(nullptr, m_timer, INVALID_HANDLE_VALUE);
}

std::shared_ptr<FetchJob> FetchJob::Start(std::shared_ptr<HttpLoader> http, std::vector<FetchRequest> requests,
                                          HWND notify, UINT message, WPARAM id)
{
    // The worker holds the loader for as long as it fetches.
    auto cancel = std::make_shared<RequestCancel>();
    Fetcher fetch = [http, cancel](const FetchRequest& r, const std::atomic<bool>& abandoned) {
        return http->Fetch(r.url, r.post, r.maxBytes, &abandoned, r.timeLimit, cancel.get());
    };
    return Start(std::move(fetch), std::move(requests), notify, message, id, std::move(cancel));
}

std::shared_ptr<FetchJob> FetchJob::Start(Fetcher fetch, std::vector<FetchRequest> requests, HWND notify,
                                          UINT message, WPARAM id, std::shared_ptr<RequestCancel> cancel)
{
    std::shared_ptr<FetchJob> job(new FetchJob());
    job->m_cancel = std::move(cancel);
    job->m_requests = std::move(requests);
    job->m_notify = notify;
    job->m_message = message;
    job->m_id = id;
    std::chrono::milliseconds limit = kGrace;
    for (const FetchRequest& r : job->m_requests) limit += r.timeLimit;
    ::CreateTimerQueueTimer(&job->m_timer, nullptr, &FetchJob::GiveUp, job.get(),
                            static_cast<DWORD>(std::min<long long>(limit.count(), 0x7FFFFFFF)), 0, WT_EXECUTEONLYONCE);
    ++g_running;
    const bool posted = Workers::Instance().Post([job, fetch = std::move(fetch)] {
        const bool held = job->Run(fetch);
        --g_running;
        return held;
    });
    if (posted) return job;
    --g_running;
    return nullptr;
}

bool FetchJob::Run(const Fetcher& fetch)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = true;
    }
    std::vector<HttpResult> results;
    results.reserve(m_requests.size());
    for (const FetchRequest& r : m_requests) {
        if (m_abandoned || m_done) break;  // dropped, or given up while it waited
        // A worker's failure stays a failed fetch: nothing may end the process from here.
        try {
            results.push_back(fetch(r, m_abandoned));
        } catch (const std::exception&) {
            HttpResult failed;
            failed.error = ERROR_NOT_ENOUGH_MEMORY;
            results.push_back(std::move(failed));
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = false;
    FinishLocked(std::move(results));
    return m_held;
}

void FetchJob::FinishLocked(std::vector<HttpResult> results)
{
    if (m_done) return;
    m_results = std::move(results);
    m_done = true;
    // The message carries no pointer: a window that is gone, or that moved on to another job,
    // simply finds nothing of its own in it.
    if (!m_abandoned) ::PostMessageW(m_notify, m_message, m_id, 0);
}

void CALLBACK FetchJob::GiveUp(void* context, BOOLEAN)
{
    auto* job = static_cast<FetchJob*>(context);
    HttpResult timedOut;
    timedOut.error = ERROR_INTERNET_TIMEOUT;
    std::lock_guard<std::mutex> lock(job->m_mutex);
    if (job->m_cancel) job->m_cancel->Cancel();
    if (job->m_running) job->m_held = Workers::Instance().Hold();
    job->FinishLocked(std::vector<HttpResult>(job->m_requests.size(), timedOut));
}

std::vector<HttpResult> FetchJob::TakeResults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_done) return {};
    return std::move(m_results);
}

}  // namespace browser
