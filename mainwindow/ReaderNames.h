#pragma once
// The names screen readers hear for the main window's and the exit box's picture-only buttons.

namespace corvane {

inline constexpr wchar_t kMenuButtonName[] = L"菜单";
inline constexpr wchar_t kMinimizeButtonName[] = L"最小化";
inline constexpr wchar_t kCloseButtonName[] = L"关闭";

// The maximise button says what pressing it will do.
constexpr const wchar_t* MinMaxButtonName(bool maximized)
{
    return maximized ? L"还原" : L"最大化";
}

}  // namespace corvane
