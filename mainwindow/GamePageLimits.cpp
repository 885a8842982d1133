#include "mainwindow/GamePageLimits.h"

#include <algorithm>

namespace corvane {

bool GamePageMayGo(std::wstring_view url, browser::NavigationKind kind)
{
    if (IsGameUrl(url)) return true;
    if (kind == browser::NavigationKind::NewWindow) return false;
    if (url == L"about:blank") return true;
    constexpr std::wstring_view kScript = L"javascript:";
    return kind == browser::NavigationKind::TopLevel && url.size() >= kScript.size() &&
           std::equal(kScript.begin(), kScript.end(), url.begin(), [](wchar_t a, wchar_t b) {
               return a == (b >= L'A' && b <= L'Z' ? static_cast<wchar_t>(b - L'A' + L'a') : b);
           });
}

GamePageStep NextGamePageStep(long existingIndex, long openPages)
{
    if (existingIndex >= 0) return GamePageStep::Select;
    return openPages < kMaxGamePages ? GamePageStep::Open : GamePageStep::Refuse;
}

bool DdeCommandQueue::Accept(std::span<const unsigned char> bytes)
{
    if (!Fits(bytes.size()) || m_waiting.size() >= kMaxWaiting) return false;
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const wchar_t unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == L'\0') break;
        text.push_back(unit);
    }
    m_waiting.push_back(std::move(text));
    return true;
}

std::vector<std::wstring> DdeCommandQueue::TakeAll()
{
    std::vector<std::wstring> all(std::make_move_iterator(m_waiting.begin()), std::make_move_iterator(m_waiting.end()));
    m_waiting.clear();
    return all;
}

}  // namespace corvane
