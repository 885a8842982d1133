#pragma once
// The lock that makes one client per user and session: a named mutex in the session's namespace
// ("Local\"), its name carrying the user's SID, so that another user's client in the same session
// neither blocks nor answers this one. The process that owns the mutex is the running client.

#include <windows.h>

#include "runtime/Handles.h"

namespace corvane {

class ClientLock {
public:
    // Opens the mutex, or creates it; does not take it.
    ClientLock();
    ~ClientLock() { Release(); }
    ClientLock(const ClientLock&) = delete;
    ClientLock& operator=(const ClientLock&) = delete;

    // False when the mutex could be neither opened nor created.
    bool Usable() const { return static_cast<bool>(m_mutex); }
    // Waits up to `timeoutMs` to own the lock. A lock left by a client that died counts as free.
    bool Take(DWORD timeoutMs);
    bool Held() const { return m_held; }
    // Gives the lock up (on the thread that took it): the next launch becomes the client.
    void Release();

private:
    rt::KernelHandle m_mutex;
    bool m_held = false;
};

// Whether process `processId` runs as this process's user in this process's session. Requests
// between clients are taken only from such processes.
bool SameUserAndSession(DWORD processId);

}  // namespace corvane
