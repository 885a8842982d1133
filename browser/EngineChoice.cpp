#include "browser/EngineChoice.h"

#include <string>

namespace browser {

WebViewEngine ChooseEngine(std::wstring_view environmentValue, bool runningUnderWine)
{
    std::wstring v;
    for (wchar_t c : environmentValue)
        if (c != L' ' && c != L'\t') v += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    if (v == L"lite") return WebViewEngine::Lite;
    if (v == L"mshtml") return WebViewEngine::Mshtml;
    return runningUnderWine ? WebViewEngine::Lite : WebViewEngine::Mshtml;
}

}  // namespace browser
