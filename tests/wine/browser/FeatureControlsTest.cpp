// The system browser control's security features: switched on for the process, not in the
// registry, before any view exists; a feature the platform refuses does not stop the others.

#include <gtest/gtest.h>
#include <windows.h>
#include <urlmon.h>

#include <algorithm>
#include <vector>

#include "browser/mshtml/FeatureControls.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

TEST(FeatureControls, EveryHardenedFeatureIsOnForTheProcessOnceAViewExists)
{
    webviewtest::Host host(browser::WebViewEngine::Lite, 200, 100);
    ASSERT_TRUE(host.view());
    for (INTERNETFEATURELIST feature : browser::HardenedFeatures())
        EXPECT_EQ(::CoInternetIsFeatureEnabled(feature, GET_FEATURE_FROM_PROCESS), S_OK) << "feature " << feature;
    // Nothing went to the registry, where it would outlive the process.
    HKEY key = nullptr;
    const LONG opened = ::RegOpenKeyExW(HKEY_CURRENT_USER,
                                        L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\"
                                        L"FEATURE_ZONE_ELEVATION",
                                        0, KEY_READ, &key);
    if (opened == ERROR_SUCCESS) {
        DWORD values = 0;
        ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                           nullptr, nullptr);
        ::RegCloseKey(key);
        EXPECT_EQ(values, 0u);
    }
}

TEST(FeatureControls, EachFeatureIsAskedForTheProcessAndARefusalStopsNoOther)
{
    struct Call {
        INTERNETFEATURELIST feature;
        DWORD flags;
        BOOL enable;
    };
    std::vector<Call> calls;
    const int refused = browser::HardenBrowserControl([&](INTERNETFEATURELIST feature, DWORD flags, BOOL enable) {
        calls.push_back({feature, flags, enable});
        return feature == FEATURE_ZONE_ELEVATION ? E_NOTIMPL : S_OK;
    });
    EXPECT_EQ(refused, 1);
    ASSERT_EQ(calls.size(), browser::HardenedFeatures().size());
    for (const Call& c : calls) {
        EXPECT_EQ(c.flags, static_cast<DWORD>(SET_FEATURE_ON_PROCESS)) << c.feature;
        EXPECT_TRUE(c.enable) << c.feature;
    }
    for (INTERNETFEATURELIST needed :
         {FEATURE_LOCALMACHINE_LOCKDOWN, FEATURE_ZONE_ELEVATION, FEATURE_MIME_SNIFFING, FEATURE_MIME_HANDLING,
          FEATURE_WINDOW_RESTRICTIONS, FEATURE_RESTRICT_FILEDOWNLOAD, FEATURE_PROTOCOL_LOCKDOWN})
        EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [&](const Call& c) { return c.feature == needed; }))
            << needed;
}

}  // namespace
