#include "app/Endpoints.h"

namespace corvane {

namespace {

std::wstring WithoutTrailingSlashes(std::wstring url)
{
    while (!url.empty() && url.back() == L'/') url.pop_back();
    return url;
}

std::optional<std::wstring> NonEmpty(std::optional<std::wstring> value)
{
    if (value && value->empty()) return std::nullopt;
    return value;
}

}  // namespace

Endpoints ResolveEndpoints(std::wstring_view builtInPortal, std::wstring_view builtInManifest,
                           const EnvironmentLookup& environment)
{
    Endpoints e;
    auto portal = NonEmpty(environment ? environment(L"CORVANE_PORTAL_URL") : std::nullopt);
    auto manifest = NonEmpty(environment ? environment(L"CORVANE_UPDATE_URL") : std::nullopt);

    e.portal = WithoutTrailingSlashes(portal ? *portal : std::wstring(builtInPortal));
    e.homePage = e.portal + L"/";
    e.loginPage = e.portal + L"/pcLogin/";
    if (manifest)
        e.manifest = *manifest;
    else if (!builtInManifest.empty())
        e.manifest = builtInManifest;
    else
        e.manifest = e.portal + std::wstring(kManifestPath);
    return e;
}

}  // namespace corvane
