#pragma once
// Fetches pages and images over HTTP and HTTPS with WinINet. One session per view; WinINet keeps
// the cookies (shared by the process, as a browser shares them); redirects are followed here.

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>

#include "runtime/Handles.h"

namespace browser {

using InternetHandle = rt::UniqueHandle<rt::NullInvalidTraits<HINTERNET, ::InternetCloseHandle>>;

struct HttpResult {
    bool connected = false;  // false: no response at all (see `error`)
    DWORD error = 0;         // WinINet error when not connected
    int status = 0;
    std::string contentType;
    std::string body;
    bool truncated = false;  // the body was longer than the size cap, or took longer than the time limit
    std::wstring finalUrl;  // after redirects
};

// Lets another thread end a fetch that waits for its response: closing the request's handle makes
// the blocked WinINet call return on Windows (under Wine the call still waits for the server).
// Either way the fetch then fails as cancelled and does not touch the closed handle again; a
// fetch cancelled before it sends sends nothing.
class RequestCancel {
public:
    void Cancel();

private:
    friend class HttpLoader;
    std::mutex m_mutex;
    HINTERNET m_sending = nullptr;  // borrowed: the request in HttpSendRequestW, while it is
    bool m_cancelled = false;
};

class HttpLoader {
public:
    HttpLoader();
    // GET, or POST of an urlencoded body, always from the server (nothing is read from or written
    // to the system's disk cache).
    // With `stop`, the body is read only while *stop is false (a fetch given up ends at its next
    // piece, however slowly the server trickles). `timeLimit` counts from the call: no further
    // redirect is followed after it, and a body still coming then is cut there (each wait for a
    // piece has WinINet's own limit, but a server that trickles would otherwise hold the fetch
    // for ever). Headers that trickle hold WinINet inside the request itself, where only `cancel`
    // ends it (and under Wine nothing): FetchJob gives such a fetch up at its time limit.
    HttpResult Fetch(const std::wstring& url, const std::optional<std::string>& postBody,
                     std::size_t maxBytes = 32u << 20, const std::atomic<bool>* stop = nullptr,
                     std::chrono::milliseconds timeLimit = kTimeLimit, RequestCancel* cancel = nullptr);

    static constexpr std::chrono::milliseconds kTimeLimit{60000};

    static constexpr int kMaxRedirects = 10;

private:
    // Opens and sends one request; false with `error` when there is no response.
    bool Send(const std::wstring& url, const std::optional<std::string>& postBody, InternetHandle& connection,
              InternetHandle& request, DWORD& error, RequestCancel* cancel);

    InternetHandle m_session;
};

}  // namespace browser
