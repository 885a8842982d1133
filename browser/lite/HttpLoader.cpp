#include "browser/lite/HttpLoader.h"

#include <vector>

namespace browser {

HttpLoader::HttpLoader()
    : m_session(::InternetOpenW(L"Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Corvane)",
                                INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0))
{
    if (m_session) {
        // A dead server must not freeze the window for long: every call here runs on the GUI thread.
        DWORD timeout = 15000;
        ::InternetSetOptionW(m_session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
        ::InternetSetOptionW(m_session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
        ::InternetSetOptionW(m_session.get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
    }
}

HttpResult HttpLoader::Fetch(const std::wstring& url, const std::optional<std::string>& postBody, bool reload,
                             std::size_t maxBytes)
{
    HttpResult result;
    if (!m_session) {
        result.error = ERROR_INTERNET_INTERNAL_ERROR;
        return result;
    }
    URL_COMPONENTSW parts{sizeof(parts)};
    wchar_t host[256] = {}, path[4096] = {}, extra[4096] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 4096;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = 4096;
    if (!::InternetCrackUrlW(url.c_str(), 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        result.error = ERROR_INTERNET_INVALID_URL;
        return result;
    }
    // The fragment is the page's business, not the server's.
    std::wstring object = std::wstring(path) + extra;
    object = object.substr(0, object.find(L'#'));
    if (object.empty()) object = L"/";

    InternetHandle connection(::InternetConnectW(m_session.get(), host, parts.nPort, nullptr, nullptr,
                                                 INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        result.error = ::GetLastError();
        return result;
    }
    DWORD flags = INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
    flags |= reload ? INTERNET_FLAG_RELOAD : INTERNET_FLAG_RESYNCHRONIZE;
    if (postBody) flags |= INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    static const wchar_t* kAccept[] = {L"*/*", nullptr};
    InternetHandle request(::HttpOpenRequestW(connection.get(), postBody ? L"POST" : L"GET", object.c_str(), nullptr,
                                              nullptr, kAccept, flags, 0));
    if (!request) {
        result.error = ::GetLastError();
        return result;
    }
    const wchar_t* headers = postBody ? L"Content-Type: application/x-www-form-urlencoded\r\n" : nullptr;
    BOOL sent = ::HttpSendRequestW(request.get(), headers, headers ? static_cast<DWORD>(-1L) : 0,
                                   postBody ? const_cast<char*>(postBody->data()) : nullptr,
                                   postBody ? static_cast<DWORD>(postBody->size()) : 0);
    if (!sent) {
        result.error = ::GetLastError();
        return result;
    }
    result.connected = true;
    DWORD status = 0, size = sizeof(status);
    if (::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        result.status = static_cast<int>(status);
    char type[512] = {};
    DWORD typeSize = sizeof(type) - 1;
    if (::HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_TYPE, type, &typeSize, nullptr))
        result.contentType.assign(type, typeSize);
    std::vector<wchar_t> finalUrl(4096);
    DWORD urlSize = static_cast<DWORD>(finalUrl.size() * sizeof(wchar_t));
    if (::InternetQueryOptionW(request.get(), INTERNET_OPTION_URL, finalUrl.data(), &urlSize))
        result.finalUrl = finalUrl.data();
    if (result.finalUrl.empty()) result.finalUrl = url;

    char buffer[16384];
    DWORD read = 0;
    while (::InternetReadFile(request.get(), buffer, sizeof(buffer), &read) && read > 0) {
        if (result.body.size() + read > maxBytes) break;  // the rest of an oversized body is dropped
        result.body.append(buffer, read);
    }
    return result;
}

}  // namespace browser
