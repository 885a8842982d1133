#include "updater/UpdatePlan.h"

#include <array>

#include "update/SignedManifest.h"
#include "update/UpdateManifest.h"
#include "updater/StagedReplace.h"

namespace corvane {

namespace {

bool IsDeviceName(std::wstring_view name)
{
    // "CON", "nul.txt", "COM1.exe": the base name before the first dot decides.
    std::wstring base(name.substr(0, name.find(L'.')));
    for (auto& c : base)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    static constexpr std::array<std::wstring_view, 4> plain = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (auto device : plain)
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) && base[3] >= L'0' &&
           base[3] <= L'9';
}

}  // namespace

std::optional<UpdaterCommand> ParseUpdaterCommand(std::wstring_view commandLine)
{
    if (commandLine.empty()) return std::nullopt;
    UpdaterCommand command;
    command.directory = std::wstring(*ManifestField(commandLine, 0));
    if (command.directory.empty() || command.directory.back() != L'\\') command.directory += L'\\';
    if (auto exe = ManifestField(commandLine, 1)) command.executable = std::wstring(*exe);
    return command;
}

std::wstring FileNameOfUrl(std::wstring_view url)
{
    const auto slash = url.rfind(L'/');
    return std::wstring(slash == std::wstring_view::npos ? url : url.substr(slash + 1));
}

bool IsSafeFileName(std::wstring_view name)
{
    if (name.empty() || name.find(L"..") != std::wstring_view::npos) return false;
    for (wchar_t c : name) {
        if (c < 0x20) return false;
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    // A name of blanks and dots would name the directory itself once the system trims it.
    if (name.find_first_not_of(L" .") == std::wstring_view::npos) return false;
    // The updater's own staged and set-aside files are removed by its next run.
    return !IsDeviceName(name) && !IsUpdaterFileName(name);
}

std::vector<UpdateFile> PlanUpdateFiles(const std::vector<std::wstring>& lines, const std::wstring& directory)
{
    std::vector<UpdateFile> files;
    for (const auto& line : lines) {
        if (IsVersionLine(line)) continue;
        const auto url = ManifestField(line, 1);
        if (!url) continue;
        std::wstring name = FileNameOfUrl(*url);
        if (!IsSafeFileName(name)) continue;
        const auto hash = ManifestField(line, 2);
        files.push_back({std::wstring(*url), name, directory + name, hash ? ParseSha256Hex(*hash) : std::nullopt});
    }
    return files;
}

}  // namespace corvane
