#pragma once
// Putting a whole update in place, all or nothing. Every file is first downloaded to a staged
// file beside its target; only when all of them arrived are they moved into place, each old file
// set aside first. If any move fails, every file already moved is put back and the staged ones
// are removed, so the installation is either all new or all old. Before the first move a journal
// names every target and whether it had an old file; it goes when the last new file is in place.
// A run killed in between leaves it, and the next run puts the old installation back from it.
// The updater's own files carry names no player file has, so that the next run finds them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// What the replace needs of the file system; the updater's is the platform's, the tests' a fake.
class UpdateFileSystem {
public:
    virtual ~UpdateFileSystem() = default;
    virtual bool Exists(const std::wstring& path) = 0;
    // Moves `from` to `to`, replacing what is there; may wait a while for a file in use.
    virtual bool Move(const std::wstring& from, const std::wstring& to) = 0;
    virtual bool Remove(const std::wstring& path) = 0;
    // Makes the file's bytes durable before it is moved into place.
    virtual bool Flush(const std::wstring& path) = 0;
    // The names of the files in a directory (with its trailing "\").
    virtual std::vector<std::wstring> List(const std::wstring& directory) = 0;
    // Writes `text` as the whole of the file at `path` and makes it durable.
    virtual bool WriteDurably(const std::wstring& path, const std::wstring& text) = 0;
    // The text of the file at `path`; none when it is missing, unreadable or longer than `maxChars`.
    virtual std::optional<std::wstring> ReadText(const std::wstring& path, std::size_t maxChars) = 0;
};

std::wstring StagedPath(const std::wstring& target);    // the download waiting to replace target
std::wstring SetAsidePath(const std::wstring& target);  // the old file while the update commits
std::wstring JournalPath(const std::wstring& directory);  // the commit's journal (directory ends in "\")
// A name the updater gives its own files.
bool IsUpdaterFileName(std::wstring_view name);

enum class CommitResult {
    Committed,           // every target holds its new file
    RolledBack,          // a move failed; every target holds what it held before
    RollbackIncomplete,  // a move failed and not every old file could be put back
};

// Moves every target's staged file into place, in order. The targets are files of `directory`.
CommitResult CommitStaged(UpdateFileSystem& fs, const std::wstring& directory,
                          const std::vector<std::wstring>& targets);

// Removes the staged files of targets (after a failed or cancelled download).
void DiscardStaged(UpdateFileSystem& fs, const std::vector<std::wstring>& targets);

// After an updater that was killed: a commit it left unfinished is undone from its journal; staged
// files are removed; a set-aside file goes back in place when its target is missing, and is removed
// when the target is there. False when an unfinished commit could not be undone (a file in use):
// its journal stays for the next run, and nothing else is touched.
bool CleanLeftovers(UpdateFileSystem& fs, const std::wstring& directory);

}  // namespace corvane
