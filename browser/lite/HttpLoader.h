#pragma once
// Fetches pages and images over HTTP and HTTPS with WinINet. One session per view; WinINet keeps
// the cookies (shared by the process, as a browser shares them) and follows redirects.

#include <windows.h>
#include <wininet.h>

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
    std::wstring finalUrl;  // after redirects
};

class HttpLoader {
public:
    HttpLoader();
    // GET, or POST of an urlencoded body. `reload` bypasses the cache.
    HttpResult Fetch(const std::wstring& url, const std::optional<std::string>& postBody, bool reload,
                     std::size_t maxBytes = 32u << 20);

private:
    InternetHandle m_session;
};

}  // namespace browser
