#pragma once
// The record of the files updates placed in the installation folder, which the uninstaller
// removes (installer/client.nsh reads it). It lives beside them under an updater's name, as
// UTF-16 text with no byte-order mark, one name and CR LF per line. Every update adds the names
// it put in place once its commit is done; the uninstaller acts on nothing else an update saw.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "updater/StagedReplace.h"

namespace corvane {

// The longest name the record holds: the longest a file system's name can be, well under the
// 1023 characters the uninstaller reads of a line at a time.
inline constexpr std::size_t kMaxRecordedName = 255;
// Far more than updates within the manifest's size bound can name over the years.
inline constexpr std::size_t kMaxPlacedFilesChars = 1 << 20;

std::wstring PlacedFilesPath(const std::wstring& directory);  // directory ends in "\"

// The names of a record, in order: only whole lines (ending in CR LF right after a line that
// ended so) whose name is safe and not longer than kMaxRecordedName, each name once in any
// letter case. Whatever else the file holds is passed over.
std::vector<std::wstring> ParsePlacedFiles(std::wstring_view text);
std::wstring PlacedFilesText(const std::vector<std::wstring>& names);

// Adds `names` (files of `directory`) to the record there: written beside it, made durable, then
// moved over it, so that a crash leaves the old record or the new one. The oldest names give way
// when the record would grow past its bound. False when it could not be written.
bool RecordPlacedFiles(UpdateFileSystem& fs, const std::wstring& directory, const std::vector<std::wstring>& names);

}  // namespace corvane
