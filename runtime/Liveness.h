#pragma once
// Whether an object survived a call out of it. A handler may destroy the object that raised its
// event (a form unloading from its own button's click, a page closing its strip): the raiser
// keeps a watch across the call and, when the object is gone, returns at once without touching
// any member.

#include <functional>
#include <memory>
#include <utility>

namespace rt {

class Liveness {
public:
    class Watch {
    public:
        bool Alive() const { return !m_token.expired(); }

    private:
        friend class Liveness;
        explicit Watch(std::weak_ptr<const int> token) : m_token(std::move(token)) {}
        std::weak_ptr<const int> m_token;
    };

    Liveness() = default;
    // A copied or assigned-to object keeps a life of its own.
    Liveness(const Liveness&) : Liveness() {}
    Liveness& operator=(const Liveness&) { return *this; }

    Watch Observe() const { return Watch(m_token); }

private:
    std::shared_ptr<const int> m_token = std::make_shared<const int>(0);
};

// Calls `handler` (when set) through a copy, so that the handler may replace itself or destroy
// its owner. Returns false when `owner` died during the call: the caller must then return
// without touching anything of it.
template <typename Signature, typename... Args>
bool RaiseEvent(const Liveness& owner, const std::function<Signature>& handler, Args&&... args)
{
    if (!handler) return true;
    const Liveness::Watch watch = owner.Observe();
    const std::function<Signature> call = handler;
    call(std::forward<Args>(args)...);
    return watch.Alive();
}

}  // namespace rt
