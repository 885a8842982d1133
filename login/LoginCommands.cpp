#include "login/LoginCommands.h"

#include "login/GameUrl.h"

namespace corvane {

namespace {

constexpr std::wstring_view kExitGame = L"app://exitgame";
constexpr std::wstring_view kMinimize = L"app://minimize";
constexpr std::wstring_view kLoadGame = L"app://loadgame";

bool Contains(std::wstring_view text, std::wstring_view part)
{
    return text.find(part) != std::wstring_view::npos;
}

}  // namespace

std::vector<std::wstring> SplitFields(std::wstring_view text, wchar_t separator)
{
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find(separator, start);
        fields.emplace_back(text.substr(start, bar == std::wstring_view::npos ? std::wstring_view::npos : bar - start));
        if (bar == std::wstring_view::npos) return fields;
        start = bar + 1;
    }
}

LoginNavigation ClassifyLoginNavigation(std::wstring_view url)
{
    LoginNavigation n;
    if (Contains(url, kExitGame)) {
        n.command = LoginCommand::ExitGame;
        n.cancel = true;
    } else if (Contains(url, kMinimize)) {
        n.command = LoginCommand::Minimize;
        n.cancel = true;
    } else if (Contains(url, kLoadGame)) {
        n.command = LoginCommand::LoadGame;
        const std::vector<std::wstring> fields = SplitFields(url, L'|');
        if (fields.size() > 1 && IsGameUrl(fields[1]))
            n.gameUrl = fields[1];
        else
            n.cancel = true;  // kept on the login page: there is no game to start
    }
    return n;
}

PageVerdict JudgeCompletedPage(bool topLevel, long innerHtmlLength, std::wstring_view documentUrl,
                               std::wstring_view completedUrl)
{
    if (!topLevel) return PageVerdict::Ignore;
    if (innerHtmlLength < kMinLoginPageLength) return PageVerdict::ConnectionFailure;
    if (Contains(documentUrl, completedUrl)) return PageVerdict::ShowLogin;
    return PageVerdict::Ignore;
}

}  // namespace corvane
