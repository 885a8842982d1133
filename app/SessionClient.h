#pragma once
// The one client of a user's session. Every launch but "/web" claims the session before anything
// else: the first becomes the client; a later one asks the running client to show itself and
// ends, showing nothing. The running client answers through a message-only window of class
// "CorvaneClient" with the registered message "CorvaneClient.BringBack".

#include <memory>

#include "app/ClientLock.h"
#include "runtime/App.h"
#include "runtime/Window.h"

namespace corvane {

class SessionClient : private rt::Window {
public:
    // Makes this process the session's client, waiting a few seconds for a client that is still
    // starting or ending. nullptr when the running client showed itself, or did not make way in
    // time: the launch then ends.
    static std::unique_ptr<SessionClient> Claim();
    ~SessionClient() override;

    // The client is ending: the next launch becomes the client at once.
    void Release();

private:
    SessionClient();
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    ClientLock m_lock;
    rt::EndHook m_endHook;
};

}  // namespace corvane
