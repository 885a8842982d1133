#pragma once
// The main window as a DDE server: service = the executable's name, one topic. An execute
// command on the topic hands its text to the owner, after the transaction has returned: the
// calling program waits only for the text to be copied. Commands larger than a URL can be, and
// more than DdeCommandQueue lets wait, are refused.

#include <windows.h>
#include <ddeml.h>

#include <functional>
#include <string>

#include "mainwindow/GamePageLimits.h"

namespace corvane {

class DdeServer {
public:
    using ExecuteHandler = std::function<void(const std::wstring& command)>;

    DdeServer() = default;
    ~DdeServer();
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    // Registers the service; false when DDEML refused (the window works on without DDE).
    bool Start(const std::wstring& service, const std::wstring& topic, ExecuteHandler onExecute);
    void Stop();
    bool Running() const { return m_instance != 0; }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                      ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA Execute(HDDEDATA data);
    static void CALLBACK Deliver(HWND, UINT, UINT_PTR id, DWORD);

    DWORD m_instance = 0;
    HSZ m_service = nullptr;
    HSZ m_topic = nullptr;
    ExecuteHandler m_onExecute;
    DdeCommandQueue m_waiting;
    UINT_PTR m_deliveryTimer = 0;
};

}  // namespace corvane
