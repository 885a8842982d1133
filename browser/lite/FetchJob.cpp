#include "browser/lite/FetchJob.h"

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
// their job and take the next one; a job never waits for another, since a thread is added
// whenever more jobs wait than threads are idle.
class Workers {
public:
    static Workers& Instance()
    {
        // Never destroyed: detached threads may still be winding down at exit.
        static Workers* workers = new Workers();
        return *workers;
    }

    bool Post(std::function<void()> task)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
        if (static_cast<int>(m_tasks.size()) > m_idle) {
            try {
                std::thread([this] { Loop(); }).detach();
            } catch (const std::system_error&) {
                m_tasks.pop_back();
                return false;
            }
        }
        m_wake.notify_one();
        return true;
    }

private:
    static constexpr std::chrono::seconds kIdleLife{2};

    void Loop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            ++m_idle;
            const bool work = m_wake.wait_for(lock, kIdleLife, [this] { return !m_tasks.empty(); });
            --m_idle;
            if (!work) return;
            std::function<void()> task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
            task = nullptr;  // the job goes here, not with the next one
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    int m_idle = 0;
};

}  // namespace

int FetchJob::Running() { return g_running.load(); }

FetchJob::~FetchJob() = default;

std::shared_ptr<FetchJob> FetchJob::Start(std::shared_ptr<HttpLoader> http, std::vector<FetchRequest> requests,
                                          HWND notify, UINT message, WPARAM id)
{
    // The worker holds the loader for as long as it fetches.
    Fetcher fetch = [http](const FetchRequest& r, const std::atomic<bool>& abandoned) {
        return http->Fetch(r.url, r.post, r.maxBytes, &abandoned);
    };
    return Start(std::move(fetch), std::move(requests), notify, message, id);
}

std::shared_ptr<FetchJob> FetchJob::Start(Fetcher fetch, std::vector<FetchRequest> requests, HWND notify,
                                          UINT message, WPARAM id)
{
    std::shared_ptr<FetchJob> job(new FetchJob());
    job->m_requests = std::move(requests);
    job->m_notify = notify;
    job->m_message = message;
    job->m_id = id;
    ++g_running;
    const bool posted = Workers::Instance().Post([job, fetch = std::move(fetch)] {
        job->Run(fetch);
        --g_running;
    });
    if (posted) return job;
    --g_running;
    return nullptr;
}

void FetchJob::Run(const Fetcher& fetch)
{
    std::vector<HttpResult> results;
    results.reserve(m_requests.size());
    for (const FetchRequest& r : m_requests) {
        if (m_abandoned) break;
        // A worker's failure stays a failed fetch: nothing may end the process from here.
        try {
            results.push_back(fetch(r, m_abandoned));
        } catch (const std::exception&) {
            HttpResult failed;
            failed.error = ERROR_NOT_ENOUGH_MEMORY;
            results.push_back(std::move(failed));
        }
    }
    m_results = std::move(results);
    m_done = true;
    // The message carries no pointer: a window that is gone, or that moved on to another job,
    // simply finds nothing of its own in it.
    if (!m_abandoned) ::PostMessageW(m_notify, m_message, m_id, 0);
}

std::vector<HttpResult> FetchJob::TakeResults()
{
    if (!m_done) return {};
    return std::move(m_results);
}

}  // namespace browser
