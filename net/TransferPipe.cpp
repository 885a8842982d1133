#include "net/TransferPipe.h"

namespace corvane {

bool TransferPipe::Enough() const
{
    return m_notes.size() >= m_wakeAfter || (!m_notes.empty() && m_notes.back().kind != TransferNote::Block);
}

bool TransferPipe::Post(const TransferNote& note)
{
    const bool block = note.kind == TransferNote::Block;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (block && !m_stopped && m_blocks >= m_maxAhead) {
        m_posterWaits = true;
        m_taken.wait(lock, [this] { return m_stopped || m_blocks < m_maxAhead; });
        m_posterWaits = false;
    }
    if (m_stopped && block) return false;
    m_notes.push_back(note);
    if (block) ++m_blocks;
    const bool wake = m_takerWaits && Enough();
    const bool stopped = m_stopped;
    lock.unlock();
    if (wake) m_posted.notify_one();
    return !stopped;
}

bool TransferPipe::Stopped() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stopped;
}

std::int64_t TransferPipe::WaitForStop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_taken.wait(lock, [this] { return m_stopped; });
    return m_keep;
}

void TransferPipe::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_posted.notify_all();
}

std::optional<TransferNote> TransferPipe::Take(std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_notes.empty() && wait.count() > 0) {
        m_takerWaits = true;
        m_posted.wait_for(lock, wait, [this] { return Enough(); });
        m_takerWaits = false;
    }
    if (m_notes.empty()) return std::nullopt;
    const TransferNote note = m_notes.front();
    m_notes.pop_front();
    if (note.kind != TransferNote::Block) return note;
    --m_blocks;
    const bool wake = m_posterWaits;
    lock.unlock();
    if (wake) m_taken.notify_one();
    return note;
}

void TransferPipe::Stop(std::int64_t keepBytes)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_stopped) m_keep = keepBytes;
        m_stopped = true;
    }
    m_taken.notify_all();
}

bool TransferPipe::WaitFinished(std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_posted.wait_for(lock, wait, [this] { return m_finished; });
}

}  // namespace corvane
