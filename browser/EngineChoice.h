#pragma once
// Which engine a web view uses: CORVANE_WEBVIEW=lite|mshtml wins; otherwise the built-in engine
// under Wine (whose system control cannot render here) and the system control on Windows.

#include <string_view>

namespace browser {

enum class WebViewEngine { Lite, Mshtml };

WebViewEngine ChooseEngine(std::wstring_view environmentValue, bool runningUnderWine);

}  // namespace browser
