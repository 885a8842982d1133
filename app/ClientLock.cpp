#include "app/ClientLock.h"

#include <sddl.h>

#include <string>
#include <vector>

namespace corvane {

namespace {

// The user SID of a process's token, as bytes; empty when it cannot be read.
std::vector<BYTE> TokenUser(HANDLE process)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
    const rt::KernelHandle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, ::TokenUser, nullptr, 0, &size);
    // A user SID is at most 68 bytes; a TOKEN_USER is far below this bound.
    if (size == 0 || size > 1024) return {};
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token, ::TokenUser, buffer.data(), size, &size)) return {};
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    if (!::IsValidSid(sid)) return {};
    const BYTE* first = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(first, first + ::GetLengthSid(sid));
}

std::wstring MutexName()
{
    std::wstring name = L"Local\\CorvaneClient";
    std::vector<BYTE> sid = TokenUser(::GetCurrentProcess());
    wchar_t* text = nullptr;
    if (!sid.empty() && ::ConvertSidToStringSidW(sid.data(), &text)) {
        name += L"-";
        name += text;
        ::LocalFree(text);
    }
    return name;
}

}  // namespace

ClientLock::ClientLock() : m_mutex(::CreateMutexW(nullptr, FALSE, MutexName().c_str())) {}

bool ClientLock::Take(DWORD timeoutMs)
{
    if (m_held) return true;
    if (!m_mutex) return false;
    const DWORD result = ::WaitForSingleObject(m_mutex.get(), timeoutMs);
    m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return m_held;
}

void ClientLock::Release()
{
    if (!m_held) return;
    ::ReleaseMutex(m_mutex.get());
    m_held = false;
}

bool SameUserAndSession(DWORD processId)
{
    DWORD theirs = 0;
    DWORD ours = 0;
    if (!::ProcessIdToSessionId(processId, &theirs) || !::ProcessIdToSessionId(::GetCurrentProcessId(), &ours) ||
        theirs != ours)
        return false;
    const rt::KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    const std::vector<BYTE> user = TokenUser(process.get());
    return !user.empty() && user == TokenUser(::GetCurrentProcess());
}

}  // namespace corvane
