#include "runtime/MessageBox.h"

#include <windows.h>

#include <string>

namespace rt {

int MsgBox(std::wstring_view text, unsigned style, std::wstring_view title)
{
    const std::wstring textCopy(text);
    const std::wstring titleCopy(title);
    return ::MessageBoxW(::GetActiveWindow(), textCopy.c_str(), titleCopy.c_str(), style);
}

}  // namespace rt
