#pragma once
// What the updater makes of its command line and of the manifest's file lines: the installation
// directory, the client to start again, and the files to fetch with their targets. Names that
// could reach outside the installation directory are refused here.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/SignedManifest.h"
#include "updater/SafeFileName.h"

namespace corvane {

struct UpdaterCommand {
    std::wstring directory;   // field 0, always ending in "\"
    std::wstring executable;  // field 1: the client's full path; may be empty
};

// "<directory>|<directory>\<name>.exe", unquoted. nullopt for an empty command line.
std::optional<UpdaterCommand> ParseUpdaterCommand(std::wstring_view commandLine);

// The part of a URL after its last "/" (the whole URL when there is none).
std::wstring FileNameOfUrl(std::wstring_view url);

struct UpdateFile {
    std::wstring url;
    std::wstring name;
    std::wstring target;  // directory + name
    std::optional<Sha256Digest> sha256;  // field 2 when it holds a hash
};

// The files named by the manifest's lines, in order. Version lines (in any letter case), lines
// without a field 1 (empty ones included), lines whose file name is not safe, a name met before
// in any letter case and targets that `isFolder` (when given) says are folders are skipped.
std::vector<UpdateFile> PlanUpdateFiles(const std::vector<std::wstring>& lines, const std::wstring& directory,
                                        const std::function<bool(const std::wstring&)>& isFolder = {});

}  // namespace corvane
