#pragma once
// A file system in memory for the updater's decisions, whose moves and writes can be made to fail.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "updater/StagedReplace.h"

namespace updatetest {

using corvane::UpdateFileSystem;

class FakeFileSystem : public UpdateFileSystem {
public:
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> locked;  // cannot be moved or removed
    std::vector<std::wstring> journal;

    bool Exists(const std::wstring& path) override { return files.count(path) != 0; }
    bool Move(const std::wstring& from, const std::wstring& to) override
    {
        journal.push_back(L"move " + from + L" > " + to);
        if (!files.count(from) || locked.count(from) || locked.count(to)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool Remove(const std::wstring& path) override
    {
        if (locked.count(path)) return false;
        return files.erase(path) != 0;
    }
    bool Flush(const std::wstring& path) override { return files.count(path) != 0; }
    // The test's names are ASCII: text is kept a byte per character.
    bool WriteDurably(const std::wstring& path, const std::wstring& text) override
    {
        if (locked.count(path)) return false;
        files[path] = std::string(text.begin(), text.end());
        return true;
    }
    std::optional<std::wstring> ReadText(const std::wstring& path, std::size_t maxChars) override
    {
        if (!files.count(path) || files[path].size() > maxChars) return std::nullopt;
        return std::wstring(files[path].begin(), files[path].end());
    }
    std::vector<std::wstring> List(const std::wstring& directory) override
    {
        std::vector<std::wstring> names;
        for (const auto& [path, bytes] : files)
            if (path.starts_with(directory)) names.push_back(path.substr(directory.size()));
        return names;
    }
};

}  // namespace updatetest
