#pragma once
// Where the portal is. The built-in defaults come from the build; environment variables of the
// same names override them when the program runs:
//   CORVANE_PORTAL_URL  the portal's web site: home page "/" and login page "/pcLogin/"
//   CORVANE_UPDATE_URL  the update manifest; by default the portal URL followed by
//                       "/gamehome/vld/update.txt"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

struct Endpoints {
    std::wstring portal;    // without a trailing "/"
    std::wstring homePage;  // portal + "/"
    std::wstring loginPage; // portal + "/pcLogin/"
    std::wstring manifest;
};

inline constexpr std::wstring_view kManifestPath = L"/gamehome/vld/update.txt";

using EnvironmentLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

// An empty environment value counts as unset.
Endpoints ResolveEndpoints(std::wstring_view builtInPortal, std::wstring_view builtInManifest,
                           const EnvironmentLookup& environment);

// The endpoints of this build in this process's environment (computed once).
const Endpoints& CurrentEndpoints();

}  // namespace corvane
