#include "mainwindow/DdeServer.h"

#include <vector>

namespace corvane {

namespace {

// DDEML's callback carries no context; the process has one server.
DdeServer* g_server = nullptr;

}  // namespace

DdeServer::~DdeServer()
{
    Stop();
}

bool DdeServer::Start(const std::wstring& service, const std::wstring& topic, ExecuteHandler onExecute)
{
    if (m_instance || g_server) return false;
    m_onExecute = std::move(onExecute);
    if (::DdeInitializeW(&m_instance, &DdeServer::Callback,
                         APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                             CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                         0) != DMLERR_NO_ERROR) {
        m_instance = 0;
        return false;
    }
    g_server = this;
    m_service = ::DdeCreateStringHandleW(m_instance, service.c_str(), CP_WINUNICODE);
    m_topic = ::DdeCreateStringHandleW(m_instance, topic.c_str(), CP_WINUNICODE);
    if (!::DdeNameService(m_instance, m_service, nullptr, DNS_REGISTER)) {
        Stop();
        return false;
    }
    return true;
}

void DdeServer::Stop()
{
    if (!m_instance) return;
    ::DdeNameService(m_instance, m_service, nullptr, DNS_UNREGISTER);
    if (m_topic) ::DdeFreeStringHandle(m_instance, m_topic);
    if (m_service) ::DdeFreeStringHandle(m_instance, m_service);
    ::DdeUninitialize(m_instance);
    m_instance = 0;
    m_topic = m_service = nullptr;
    if (m_deliveryTimer) ::KillTimer(nullptr, m_deliveryTimer);
    m_deliveryTimer = 0;
    m_waiting.TakeAll();
    if (g_server == this) g_server = nullptr;
    m_onExecute = nullptr;
}

HDDEDATA DdeServer::Execute(HDDEDATA data)
{
    // Measured before anything is copied: any local program can send any amount.
    const DWORD size = ::DdeGetData(data, nullptr, 0, 0);
    if (!DdeCommandQueue::Fits(size)) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
    std::vector<unsigned char> bytes(size);
    if (size) ::DdeGetData(data, bytes.data(), size, 0);
    // DDEML hands a Unicode server every execute string in UTF-16, an ANSI client's converted.
    if (!m_waiting.Accept(bytes)) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
    // A thread timer of zero comes once the transaction has returned and the thread is idle.
    if (!m_deliveryTimer) m_deliveryTimer = ::SetTimer(nullptr, 0, 0, &DdeServer::Deliver);
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

void CALLBACK DdeServer::Deliver(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    DdeServer* server = g_server;
    if (!server || server->m_deliveryTimer != id) return;
    server->m_deliveryTimer = 0;
    for (const std::wstring& command : server->m_waiting.TakeAll()) {
        // Through a copy: the handler may stop this server.
        const ExecuteHandler handler = server->m_onExecute;
        if (!handler) return;
        handler(command);
        if (g_server != server) return;
    }
}

HDDEDATA CALLBACK DdeServer::Callback(UINT type, UINT, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    DdeServer* server = g_server;
    if (!server) return nullptr;
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(
            ::DdeCmpStringHandles(hsz1, server->m_topic) == 0 && ::DdeCmpStringHandles(hsz2, server->m_service) == 0));
    case XTYP_EXECUTE:
        if (::DdeCmpStringHandles(hsz1, server->m_topic) != 0) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
        return server->Execute(data);
    }
    return nullptr;
}

}  // namespace corvane
