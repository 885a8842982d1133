#include "updater/UpdatePlan.h"

#include <set>

#include "update/SignedManifest.h"
#include "update/UpdateManifest.h"
#include "updater/StagedReplace.h"

namespace corvane {

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

std::vector<UpdateFile> PlanUpdateFiles(const std::vector<std::wstring>& lines, const std::wstring& directory,
                                        const std::function<bool(const std::wstring&)>& isFolder)
{
    std::vector<UpdateFile> files;
    std::set<std::wstring> seen;
    for (const auto& line : lines) {
        if (IsVersionLine(line)) continue;
        const auto url = ManifestField(line, 1);
        if (!url) continue;
        std::wstring name = FileNameOfUrl(*url);
        if (!IsSafeFileName(name)) continue;
        // A second download to the same file would replace the first one's staged bytes.
        if (!seen.insert(FoldedFileName(name)).second) continue;
        // A folder would be set aside whole and never come back.
        if (isFolder && isFolder(directory + name)) continue;
        const auto hash = ManifestField(line, 2);
        files.push_back({std::wstring(*url), name, directory + name, hash ? ParseSha256Hex(*hash) : std::nullopt});
    }
    return files;
}

}  // namespace corvane
