#pragma once
// What the login window makes of the pages it shows: the command URLs a login page navigates to,
// and whether a completed page proves the portal reachable.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

enum class LoginCommand { None, ExitGame, Minimize, LoadGame };

struct LoginNavigation {
    LoginCommand command = LoginCommand::None;
    // Stop the browser from following the URL.
    bool cancel = false;
    // LoadGame only: field 1 of the start command. Without it (no "|", or nothing after it), or
    // when it is not a web address (IsGameUrl), there is no game to start and the command is
    // dropped.
    std::optional<std::wstring> gameUrl;
};

// The command texts are looked for anywhere in the URL, in exact letter case, and the first of
// exit, minimise, start that occurs decides.
LoginNavigation ClassifyLoginNavigation(std::wstring_view url);

// Splits at every `separator`, keeping empty fields ("a||b" has three fields).
std::vector<std::wstring> SplitFields(std::wstring_view text, wchar_t separator);

// A page shorter than this (inner HTML of its root element, in characters) is the browser's own
// error page: the portal was not reached.
inline constexpr long kMinLoginPageLength = 1500;

enum class PageVerdict { Ignore, ConnectionFailure, ShowLogin };

// Document complete: only the top-level document counts; `innerHtmlLength` is -1 without a
// document. The pair shows when the document's address contains the completed URL.
PageVerdict JudgeCompletedPage(bool topLevel, long innerHtmlLength, std::wstring_view documentUrl,
                               std::wstring_view completedUrl);

}  // namespace corvane
