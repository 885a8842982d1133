#include "runtime/TextFile.h"

#include <windows.h>

#include "runtime/Handles.h"
#include "runtime/LineInput.h"

namespace rt {

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string ToAnsi(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::optional<std::vector<std::wstring>> ReadAnsiLines(const std::wstring& path)
{
    KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[8192];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);

    std::vector<std::wstring> lines;
    for (const std::string& line : SplitInputLines(bytes)) lines.push_back(FromAnsi(line));
    return lines;
}

}  // namespace rt
