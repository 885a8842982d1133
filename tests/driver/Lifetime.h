#pragma once
// Catching code that touches an object after one of its event handlers destroyed it, where no
// sanitizer runs (the MinGW build has none). Free of platform headers: native tests use it too.

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace lifetime {

// Lives in a handler's captures. Its destructor marks it dead, so a handler that reads its own
// captures after the callable holding them was destroyed under it sees the mark (the memory of
// a freed block stays readable under Wine's heap).
class Canary {
public:
    Canary() = default;
    Canary(const Canary& other) : m_state(other.m_state) {}
    Canary& operator=(const Canary& other)
    {
        m_state = other.m_state;
        return *this;
    }
    // Volatile, so the store is not dropped as a dead store at the end of the object's life.
    ~Canary() { m_state = kDead; }

    bool Alive() const { return m_state == kAlive; }

private:
    static constexpr unsigned kAlive = 0x600DF00Du;
    static constexpr unsigned kDead = 0xDEADDEADu;
    volatile unsigned m_state = kAlive;
};

// Holds one object in storage of its own. Kill() destroys the object as delete would and then
// fills its bytes with a poison pattern, as a debugging heap fills freed blocks; the storage
// stays valid, so code that goes on using the object after Kill() changes the pattern
// (Untouched() turns false) instead of silently scribbling on some other allocation.
template <typename T>
class PoisonedBox {
public:
    static constexpr unsigned char kPoison = 0xDD;

    PoisonedBox() = default;
    PoisonedBox(const PoisonedBox&) = delete;
    PoisonedBox& operator=(const PoisonedBox&) = delete;
    ~PoisonedBox()
    {
        if (m_object) m_object->~T();
    }

    template <typename... Args>
    T& Make(Args&&... args)
    {
        m_object = new (m_storage) T(std::forward<Args>(args)...);
        return *m_object;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    bool Alive() const { return m_object != nullptr; }

    void Kill()
    {
        T* object = m_object;
        m_object = nullptr;
        object->~T();
        std::memset(m_storage, kPoison, sizeof m_storage);
    }

    // True when nothing wrote to the object's bytes since Kill().
    bool Untouched() const
    {
        return std::all_of(std::begin(m_storage), std::end(m_storage), [](unsigned char b) { return b == kPoison; });
    }

private:
    alignas(T) unsigned char m_storage[sizeof(T)];
    T* m_object = nullptr;
};

}  // namespace lifetime
