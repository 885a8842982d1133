#include "app/CKvDownLoadFile.h"

#include <windows.h>
#include <wininet.h>

#include <array>

#include "runtime/App.h"
#include "runtime/Handles.h"

namespace corvane {

namespace {

using InternetHandle = rt::UniqueHandle<rt::NullInvalidTraits<HINTERNET, ::InternetCloseHandle>>;

// A numeric header of the response; 0 when it is missing or does not parse.
DWORD QueryNumber(HINTERNET request, DWORD what)
{
    DWORD value = 0;
    DWORD length = sizeof value;
    DWORD index = 0;
    if (!::HttpQueryInfoW(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &length, &index)) return 0;
    return value;
}

// Connecting, sending and each wait for data end after `ms` at the latest.
void SetTimeouts(HINTERNET root, DWORD ms)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(root, option, &ms, sizeof ms);
}

}  // namespace

CKvDownLoadFile::CKvDownLoadFile() : m_alive(std::make_shared<bool>(true)) {}

CKvDownLoadFile::~CKvDownLoadFile()
{
    *m_alive = false;
}

bool CKvDownLoadFile::DownLoadFile(const std::wstring& url, const std::wstring& path, bool hidden, bool raiseEvents)
{
    // A handler may destroy this object: hold the token, and touch no member once it is cleared.
    const std::shared_ptr<bool> alive = m_alive;
    m_stop = false;
    m_receivedAll = false;
    m_announced = 0;
    m_received = 0;

    const bool result = Transfer(url, path, hidden, raiseEvents);
    if (!*alive) return result;
    if (raiseEvents) {
        auto handler = Complete;
        if (handler) handler();
    }
    return result;
}

bool CKvDownLoadFile::Transfer(const std::wstring& url, const std::wstring& path, bool hidden, bool raiseEvents)
{
    const std::shared_ptr<bool> alive = m_alive;
    // Declared in this order so that the URL handle closes before the root handle.
    InternetHandle root(::InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!root) return false;
    const ULONGLONG started = ::GetTickCount64();
    const bool timed = m_timeLimitMs != 0;
    const auto timeIsUp = [&] { return timed && ::GetTickCount64() - started >= m_timeLimitMs; };
    if (timed) SetTimeouts(root.get(), m_timeLimitMs);
    // Always from the server, and never into the browser's cache either: a copy of every update
    // there wastes disk, and committing a large entry at the end of the body froze the loop for a
    // quarter of a second per 200 MB.
    InternetHandle request(::InternetOpenUrlW(root.get(), url.c_str(), nullptr, 0,
                                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request || timeIsUp()) return false;
    if (QueryNumber(request.get(), HTTP_QUERY_STATUS_CODE) != 200) return false;
    // Sizes of 2 GiB and more read as negative: outside what the program downloads.
    const auto announced = static_cast<std::int32_t>(QueryNumber(request.get(), HTTP_QUERY_CONTENT_LENGTH));
    if (announced <= 0) return false;
    if (m_maxBytes > 0 && announced > m_maxBytes) {
        rt::App::LogEvent(L"CKvDownLoadFile: " + url + L" announces " + std::to_wstring(announced) +
                          L" bytes, more than the " + std::to_wstring(m_maxBytes) + L" allowed");
        return false;
    }
    m_announced = announced;

    if (raiseEvents) {
        auto handler = QueryFileInfo;
        std::int32_t size = announced;
        if (handler) handler(size);
        if (!*alive) return false;
    }

    rt::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // Overwriting an existing file keeps its old attributes on some systems (Wine among them).
    if (hidden) ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);

    std::array<char, kBlockSize> buffer;
    std::int32_t total = 0;
    bool quit = false;
    bool writeFailed = false;
    bool late = false;
    while (!m_stop) {
        DWORD want = kBlockSize;
        if (timed) {
            // Only what has arrived: a full block from a trickle would hold the read for ever.
            DWORD available = 0;
            if (!::InternetQueryDataAvailable(request.get(), &available, 0, 0) || available == 0) break;
            want = available < kBlockSize ? available : kBlockSize;
        }
        DWORD got = 0;
        if (!::InternetReadFile(request.get(), buffer.data(), want, &got) || got == 0) break;
        DWORD written = 0;
        // A full disk must not pass for a whole file: the updater would install the stump.
        if (!::WriteFile(file.get(), buffer.data(), got, &written, nullptr) || written != got) {
            writeFailed = true;
            rt::App::LogEvent(L"CKvDownLoadFile: writing " + path + L" failed, error " +
                              std::to_wstring(::GetLastError()));
            break;
        }
        total += static_cast<std::int32_t>(got);
        m_received = total;
        if (total > announced || (total < announced && timeIsUp())) {
            late = true;
            rt::App::LogEvent(L"CKvDownLoadFile: " + url +
                              (total > announced ? L" sent more than announced" : L" took too long"));
            break;
        }
        if (raiseEvents) {
            auto handler = Loading;
            std::int32_t received = total;
            if (handler) handler(received);
            if (!*alive) return true;
        }
        // WM_QUIT means the program is ending: the transfer stops as a cancel would.
        quit = !rt::App::DoEvents();
        if (!*alive) return true;
        if (quit) break;
    }
    m_receivedAll = !m_stop && !quit && !writeFailed && !late && total == announced;
    return true;
}

}  // namespace corvane
