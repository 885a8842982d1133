#pragma once
// An owned COM interface pointer: released once, at scope end. Move-only, like the handle owners.

#include <unknwn.h>

#include <utility>

namespace driver {

template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For the out-parameter of a call that hands over a reference.
    T** put()
    {
        reset();
        return &m_p;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset()
    {
        if (m_p) std::exchange(m_p, nullptr)->Release();
    }

private:
    T* m_p = nullptr;
};

}  // namespace driver
