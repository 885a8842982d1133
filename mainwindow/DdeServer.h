#pragma once
// The main window as a DDE server: service = the executable's name, one topic. An execute
// command on the topic hands its text to the owner.

#include <windows.h>
#include <ddeml.h>

#include <functional>
#include <string>

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

    DWORD m_instance = 0;
    HSZ m_service = nullptr;
    HSZ m_topic = nullptr;
    ExecuteHandler m_onExecute;
};

}  // namespace corvane
