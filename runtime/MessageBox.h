#pragma once
// The one way the program tells the user something: a modal message box with a fixed title.

#include <string_view>

namespace rt {

inline constexpr unsigned kMsgExclamation = 0x30;  // OK, exclamation icon: failures
inline constexpr unsigned kMsgQuestionYesNo = 0x24;  // Yes/No, question icon
inline constexpr unsigned kMsgInformation = 0x40;  // OK, information icon

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

inline constexpr std::wstring_view kMsgTitle = L"提示";
inline constexpr std::wstring_view kCacheTitle = L"缓存清理";

// Shows the box owned by the thread's active window and returns the button pressed.
int MsgBox(std::wstring_view text, unsigned style = kMsgExclamation, std::wstring_view title = kMsgTitle);

}  // namespace rt
