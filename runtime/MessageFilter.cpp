#include "runtime/MessageFilter.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace rt {

namespace {

struct Entry {
    unsigned id;
    std::shared_ptr<MessageFilter> filter;
};

// Windows and their loops belong to a thread; so do the filters.
thread_local std::vector<Entry> t_filters;
thread_local unsigned t_nextId = 0;

bool Registered(unsigned id)
{
    return std::any_of(t_filters.begin(), t_filters.end(), [id](const Entry& e) { return e.id == id; });
}

}  // namespace

MessageFilterRegistration::MessageFilterRegistration(MessageFilter filter)
{
    if (!filter) return;
    m_id = ++t_nextId;
    if (m_id == 0) m_id = ++t_nextId;
    t_filters.push_back({m_id, std::make_shared<MessageFilter>(std::move(filter))});
}

MessageFilterRegistration::~MessageFilterRegistration() { Reset(); }

MessageFilterRegistration::MessageFilterRegistration(MessageFilterRegistration&& other) noexcept
    : m_id(std::exchange(other.m_id, 0))
{
}

MessageFilterRegistration& MessageFilterRegistration::operator=(MessageFilterRegistration&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

void MessageFilterRegistration::Reset()
{
    if (m_id == 0) return;
    std::erase_if(t_filters, [id = m_id](const Entry& e) { return e.id == id; });
    m_id = 0;
}

bool FilterMessage(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || t_filters.empty()) return false;
    // A copy: filters come and go while one runs (a key that closes the window holding a view).
    const std::vector<Entry> snapshot(t_filters.rbegin(), t_filters.rend());
    for (const Entry& e : snapshot) {
        if (!Registered(e.id)) continue;
        if ((*e.filter)(msg)) return true;
    }
    return false;
}

void TranslateAndDispatch(MSG& msg)
{
    if (FilterMessage(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

}  // namespace rt
