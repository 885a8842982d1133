#include <windows.h>

#include "app/Endpoints.h"

#ifndef CORVANE_PORTAL_URL
#error "the build defines CORVANE_PORTAL_URL"
#endif

namespace corvane {

namespace {

#define CORVANE_WIDEN2(x) L##x
#define CORVANE_WIDEN(x) CORVANE_WIDEN2(x)

std::optional<std::wstring> ReadEnvironment(std::wstring_view name)
{
    const std::wstring key(name);
    DWORD n = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (n == 0) return std::nullopt;
    std::wstring value(n, L'\0');
    n = ::GetEnvironmentVariableW(key.c_str(), value.data(), n);
    value.resize(n);
    return value;
}

}  // namespace

const Endpoints& CurrentEndpoints()
{
    static const Endpoints endpoints =
        ResolveEndpoints(CORVANE_WIDEN(CORVANE_PORTAL_URL), CORVANE_WIDEN(CORVANE_UPDATE_URL), ReadEnvironment);
    return endpoints;
}

}  // namespace corvane
