#include "app/PngPrefetch.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace corvane {

namespace {

// Only the GUI thread makes, ends and asks the prefetch.
PngPrefetch* g_live = nullptr;

}  // namespace

PngPrefetch::PngPrefetch(std::vector<int> ids, int dpi) : m_dpi(dpi)
{
    for (const int id : ids) m_slots.push_back({id, false, std::nullopt});
    // Without GDI+ or a worker, every painter decodes its picture itself.
    if (!m_session) return;
    try {
        m_worker = std::thread([this] { Decode(); });
    } catch (const std::system_error&) {
        return;
    }
    m_atEnd = rt::App::AtEnd([this] { Join(); });
    g_live = this;
}

PngPrefetch::~PngPrefetch()
{
    if (g_live == this) g_live = nullptr;
    Join();
}

void PngPrefetch::Join()
{
    if (m_worker.joinable()) m_worker.join();
}

void PngPrefetch::Decode()
{
    for (Slot& slot : m_slots) {
        std::optional<DecodedPng> picture;
        // Whatever fails here leaves the picture to its painter; a waiting painter must hear of it.
        try {
            picture.emplace(DecodePngAt(slot.id, m_dpi));
        } catch (const std::exception&) {
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        slot.picture = std::move(picture);
        slot.done = true;
        m_decoded.notify_all();
    }
}

std::optional<DecodedPng> PngPrefetch::Take(int id, int dpi)
{
    PngPrefetch* live = g_live;
    if (!live || live->m_dpi != dpi) return std::nullopt;
    auto slot = std::find_if(live->m_slots.begin(), live->m_slots.end(), [id](const Slot& s) { return s.id == id; });
    if (slot == live->m_slots.end()) return std::nullopt;
    std::unique_lock<std::mutex> lock(live->m_mutex);
    live->m_decoded.wait(lock, [&] { return slot->done; });
    return std::exchange(slot->picture, std::nullopt);
}

}  // namespace corvane
