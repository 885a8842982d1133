#include "app/PngPrefetch.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace corvane {

namespace {

// Only the GUI thread makes, ends and asks the prefetch.
PngPrefetch* g_live = nullptr;

}  // namespace

PngPrefetch::PngPrefetch(std::vector<int> ids) : m_ids(std::move(ids))
{
    if (m_session) {
        try {
            m_worker = std::thread([this] { Decode(); });
        } catch (const std::system_error&) {
            // No worker: every painter decodes its picture itself.
            return;
        }
    }
    m_atEnd = rt::App::AtEnd([this] { Join(); });
    g_live = this;
}

PngPrefetch::~PngPrefetch()
{
    if (g_live == this) g_live = nullptr;
    Join();
    // Disposed here, while this session still holds GDI+ up.
    m_pictures.clear();
}

void PngPrefetch::Join()
{
    if (m_worker.joinable()) m_worker.join();
}

void PngPrefetch::Decode()
{
    for (const int id : m_ids) {
        DecodedPng picture = DecodePng(id);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pictures[id].emplace(std::move(picture));
        m_decoded.notify_all();
    }
}

std::optional<DecodedPng> PngPrefetch::Take(int id)
{
    PngPrefetch* live = g_live;
    if (!live || std::find(live->m_ids.begin(), live->m_ids.end(), id) == live->m_ids.end()) return std::nullopt;
    std::unique_lock<std::mutex> lock(live->m_mutex);
    live->m_decoded.wait(lock, [&] { return live->m_pictures.count(id) != 0; });
    return std::exchange(live->m_pictures[id], std::nullopt);
}

}  // namespace corvane
