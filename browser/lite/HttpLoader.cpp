#include "browser/lite/HttpLoader.h"

#include "browser/html/Url.h"
#include "browser/lite/TextConvert.h"

#include <algorithm>
#include <cwchar>
#include <utility>
#include <vector>

namespace browser {

namespace {

// The address the request ended at, after redirects: of any length.
std::wstring RequestUrl(HINTERNET request)
{
    std::vector<wchar_t> url(2048);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD bytes = static_cast<DWORD>(url.size() * sizeof(wchar_t));
        if (::InternetQueryOptionW(request, INTERNET_OPTION_URL, url.data(), &bytes))
            return std::wstring(url.data(), ::wcsnlen(url.data(), url.size()));
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        // `bytes` now holds the size needed.
        url.assign(bytes / sizeof(wchar_t) + 2, L'\0');
    }
    return {};
}

// A response header as text, of any length; "" when absent.
std::wstring QueryHeader(HINTERNET request, DWORD header)
{
    std::vector<wchar_t> text(256);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (::HttpQueryInfoW(request, header, text.data(), &bytes, nullptr))
            return std::wstring(text.data(), bytes / sizeof(wchar_t));
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        text.assign(bytes / sizeof(wchar_t) + 2, L'\0');
    }
    return {};
}

}  // namespace

void RequestCancel::Cancel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cancelled = true;
    if (m_sending) ::InternetCloseHandle(std::exchange(m_sending, nullptr));
}

HttpLoader::HttpLoader()
    : m_session(::InternetOpenW(L"Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Corvane)",
                                INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0))
{
    if (m_session) {
        // A dead server must not hold a worker (and the load the user waits for) for long.
        DWORD timeout = 15000;
        ::InternetSetOptionW(m_session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
        ::InternetSetOptionW(m_session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
        ::InternetSetOptionW(m_session.get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
    }
}

HttpResult HttpLoader::Fetch(const std::wstring& url, const std::optional<std::string>& postBody, std::size_t maxBytes,
                             const std::atomic<bool>* stop, std::chrono::milliseconds timeLimit,
                             RequestCancel* cancel)
{
    HttpResult result;
    if (!m_session) {
        result.error = ERROR_INTERNET_INTERNAL_ERROR;
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    // Redirects are followed here rather than by WinINet, which fails on a long Location.
    std::wstring address = url;
    std::optional<std::string> post = postBody;
    for (int hop = 0;; ++hop) {
        InternetHandle connection;
        InternetHandle request;
        if (!Send(address, post, connection, request, result.error, cancel)) return result;
        result.connected = true;
        DWORD status = 0, size = sizeof(status);
        if (::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
            result.status = static_cast<int>(status);
        const bool redirect = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
        if (redirect && hop < kMaxRedirects && std::chrono::steady_clock::now() < deadline) {
            const std::wstring location = QueryHeader(request.get(), HTTP_QUERY_LOCATION);
            if (!location.empty()) {
                address = Utf8ToWide(ResolveUrl(WideToUtf8(address), WideToUtf8(location)));
                // As browsers do: only 307 and 308 repeat a POST.
                if (status != 307 && status != 308) post.reset();
                continue;
            }
        }
        result.contentType = WideToUtf8(QueryHeader(request.get(), HTTP_QUERY_CONTENT_TYPE));
        result.finalUrl = RequestUrl(request.get());
        if (result.finalUrl.empty()) result.finalUrl = address;
        char buffer[16384];
        DWORD read = 0;
        // A read asks only for what has come: InternetReadFile waits for a whole buffer, which a
        // server that trickles bytes would never fill, and `stop` would never be looked at.
        DWORD available = 0;
        while (::InternetQueryDataAvailable(request.get(), &available, 0, 0) && available > 0 &&
               ::InternetReadFile(request.get(), buffer, std::min<DWORD>(available, sizeof(buffer)), &read) &&
               read > 0) {
            if (stop && *stop) {
                result.truncated = true;
                break;
            }
            if (result.body.size() + read > maxBytes) {
                // The rest of an oversized body is dropped, and the caller told so.
                result.truncated = true;
                break;
            }
            result.body.append(buffer, read);
            if (std::chrono::steady_clock::now() >= deadline) {
                result.truncated = true;
                break;
            }
        }
        return result;
    }
}

bool HttpLoader::Send(const std::wstring& url, const std::optional<std::string>& postBody, InternetHandle& connection,
                      InternetHandle& request, DWORD& error, RequestCancel* cancel)
{
    // Null pointers with nonzero lengths: the parts come back as places in `url` itself, so an
    // address of any length cracks.
    URL_COMPONENTSW parts{sizeof(parts)};
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) || !parts.lpszHostName ||
        parts.dwHostNameLength == 0) {
        error = ERROR_INTERNET_INVALID_URL;
        return false;
    }
    const auto part = [](const wchar_t* text, DWORD length) { return text ? std::wstring(text, length) : std::wstring(); };
    const std::wstring host = part(parts.lpszHostName, parts.dwHostNameLength);
    // The fragment is the page's business, not the server's.
    std::wstring object = part(parts.lpszUrlPath, parts.dwUrlPathLength) + part(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    object = object.substr(0, object.find(L'#'));
    if (object.empty()) object = L"/";

    connection.reset(::InternetConnectW(m_session.get(), host.c_str(), parts.nPort, nullptr, nullptr,
                                        INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        error = ::GetLastError();
        return false;
    }
    // The system's disk cache is left out: the engine keeps what it reuses (images) in memory, and
    // under Wine looking a response up there and writing it cost twice the fetch itself.
    DWORD flags = INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH |
                  INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    static const wchar_t* kAccept[] = {L"*/*", nullptr};
    request.reset(::HttpOpenRequestW(connection.get(), postBody ? L"POST" : L"GET", object.c_str(), nullptr, nullptr,
                                     kAccept, flags, 0));
    if (!request) {
        error = ::GetLastError();
        return false;
    }
    if (cancel) {
        std::lock_guard<std::mutex> lock(cancel->m_mutex);
        if (cancel->m_cancelled) {
            error = ERROR_INTERNET_OPERATION_CANCELLED;
            return false;
        }
        cancel->m_sending = request.get();
    }
    const wchar_t* headers = postBody ? L"Content-Type: application/x-www-form-urlencoded\r\n" : nullptr;
    const BOOL sent = ::HttpSendRequestW(request.get(), headers, headers ? static_cast<DWORD>(-1L) : 0,
                                         postBody ? const_cast<char*>(postBody->data()) : nullptr,
                                         postBody ? static_cast<DWORD>(postBody->size()) : 0);
    error = sent ? 0 : ::GetLastError();
    if (cancel) {
        std::lock_guard<std::mutex> lock(cancel->m_mutex);
        if (cancel->m_cancelled) {
            request.release();  // closed by the canceller, and perhaps already another's
            error = ERROR_INTERNET_OPERATION_CANCELLED;
            return false;
        }
        cancel->m_sending = nullptr;
    }
    return sent;
}

}  // namespace browser
