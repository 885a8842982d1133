#include "browser/mshtml/FeatureControls.h"

#include <mutex>
#include <string>

#include "runtime/App.h"

namespace browser {

namespace {

constexpr INTERNETFEATURELIST kHardened[] = {
    FEATURE_LOCALMACHINE_LOCKDOWN,
    FEATURE_ZONE_ELEVATION,
    FEATURE_MIME_SNIFFING,
    FEATURE_MIME_HANDLING,
    FEATURE_WINDOW_RESTRICTIONS,
    FEATURE_RESTRICT_FILEDOWNLOAD,
    FEATURE_PROTOCOL_LOCKDOWN,
    FEATURE_DISABLE_MK_PROTOCOL,
    FEATURE_HTTP_USERNAME_PASSWORD_DISABLE,
    FEATURE_SAFE_BINDTOOBJECT,
    FEATURE_RESTRICT_ACTIVEXINSTALL,
    FEATURE_UNC_SAVEDFILECHECK,
    FEATURE_VALIDATE_NAVIGATE_URL,
    FEATURE_WEBOC_POPUPMANAGEMENT,
    FEATURE_DISABLE_TELNET_PROTOCOL,
};

}  // namespace

std::span<const INTERNETFEATURELIST> HardenedFeatures() { return kHardened; }

int HardenBrowserControl(const SetFeature& set)
{
    int refused = 0;
    for (INTERNETFEATURELIST feature : kHardened) {
        const HRESULT hr = set(feature, SET_FEATURE_ON_PROCESS, TRUE);
        if (SUCCEEDED(hr)) continue;
        ++refused;
        rt::App::LogEvent(L"FeatureControls.HardenBrowserControl: feature " + std::to_wstring(feature) +
                          L" refused, error " + std::to_wstring(static_cast<unsigned long>(hr)));
    }
    return refused;
}

void HardenBrowserControlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { HardenBrowserControl(&::CoInternetSetFeatureEnabled); });
}

}  // namespace browser
