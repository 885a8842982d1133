#include <gtest/gtest.h>

#include <map>

#include "app/Endpoints.h"

namespace {

corvane::EnvironmentLookup Env(std::map<std::wstring, std::wstring> values)
{
    return [values](std::wstring_view name) -> std::optional<std::wstring> {
        auto it = values.find(std::wstring(name));
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
}

TEST(Endpoints, BuiltInDefaultsDeriveEveryPage)
{
    auto e = corvane::ResolveEndpoints(L"http://portal.example/", L"", Env({}));
    EXPECT_EQ(e.portal, L"http://portal.example");
    EXPECT_EQ(e.homePage, L"http://portal.example/");
    EXPECT_EQ(e.loginPage, L"http://portal.example/pcLogin/");
    EXPECT_EQ(e.manifest, L"http://portal.example/gamehome/vld/update.txt");
}

TEST(Endpoints, EnvironmentOverridesTheBuild)
{
    auto e = corvane::ResolveEndpoints(L"http://portal.example", L"http://static.example/update.txt",
                                       Env({{L"CORVANE_PORTAL_URL", L"http://127.0.0.1:9000"}}));
    EXPECT_EQ(e.loginPage, L"http://127.0.0.1:9000/pcLogin/");
    // The build named its own manifest host; only the manifest variable replaces it.
    EXPECT_EQ(e.manifest, L"http://static.example/update.txt");

    e = corvane::ResolveEndpoints(L"http://portal.example", L"",
                                  Env({{L"CORVANE_PORTAL_URL", L"http://127.0.0.1:9000//"},
                                       {L"CORVANE_UPDATE_URL", L"http://127.0.0.1:9001/u.txt"}}));
    EXPECT_EQ(e.homePage, L"http://127.0.0.1:9000/");
    EXPECT_EQ(e.manifest, L"http://127.0.0.1:9001/u.txt");
}

TEST(Endpoints, EmptyVariablesCountAsUnset)
{
    auto e = corvane::ResolveEndpoints(L"http://portal.example", L"",
                                       Env({{L"CORVANE_PORTAL_URL", L""}, {L"CORVANE_UPDATE_URL", L""}}));
    EXPECT_EQ(e.portal, L"http://portal.example");
    EXPECT_EQ(e.manifest, L"http://portal.example/gamehome/vld/update.txt");
    EXPECT_EQ(corvane::ResolveEndpoints(L"http://a", L"", nullptr).homePage, L"http://a/");
}

}  // namespace
