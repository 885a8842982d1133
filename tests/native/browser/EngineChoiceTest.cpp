#include <gtest/gtest.h>

#include "browser/EngineChoice.h"

namespace {

using browser::ChooseEngine;
using browser::WebViewEngine;

TEST(EngineChoice, EnvironmentWinsThenPlatform)
{
    EXPECT_EQ(ChooseEngine(L"", true), WebViewEngine::Lite);
    EXPECT_EQ(ChooseEngine(L"", false), WebViewEngine::Mshtml);
    EXPECT_EQ(ChooseEngine(L"lite", false), WebViewEngine::Lite);
    EXPECT_EQ(ChooseEngine(L" MSHTML ", true), WebViewEngine::Mshtml);
    EXPECT_EQ(ChooseEngine(L"gecko", true), WebViewEngine::Lite);  // unknown values change nothing
    EXPECT_EQ(ChooseEngine(L"gecko", false), WebViewEngine::Mshtml);
}

}  // namespace
