#include "browser/lite/TextConvert.h"

#include <windows.h>

namespace browser {

std::wstring Utf8ToWide(std::string_view utf8)
{
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string WideToUtf8(std::wstring_view wide)
{
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Utf8ToGbk(std::string_view utf8)
{
    const std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

char32_t GbkPair(unsigned char lead, unsigned char trail)
{
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    wchar_t out[2] = {};
    const int n = ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, 2, out, 2);
    return n == 1 ? out[0] : 0;
}

}  // namespace browser
