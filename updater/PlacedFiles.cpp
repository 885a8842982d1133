#include "updater/PlacedFiles.h"

#include <algorithm>
#include <set>

#include "updater/SafeFileName.h"

namespace corvane {

namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";

}  // namespace

std::wstring PlacedFilesPath(const std::wstring& directory) { return directory + L"update.corvane-files"; }

std::vector<std::wstring> ParsePlacedFiles(std::wstring_view text)
{
    std::vector<std::wstring> names;
    std::set<std::wstring> seen;
    // The uninstaller's reads end at CR, at LF and at either pair: a line counts only when it
    // ends in CR LF and the one before it did too, so no piece of a longer or broken line is read
    // as a name.
    bool atLineStart = true;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(L"\r\n");
        std::wstring_view line = text.substr(0, end);
        const bool whole = end != std::wstring_view::npos && text.substr(end).starts_with(kLineEnd);
        if (end == std::wstring_view::npos) {
            text = {};
        } else {
            // One CR or LF, or a pair of them, ends the piece.
            std::size_t next = end + 1;
            if (next < text.size() && (text[next] == L'\r' || text[next] == L'\n') && text[next] != text[end]) ++next;
            text.remove_prefix(next);
        }
        if (atLineStart && whole && line.size() <= kMaxRecordedName && IsSafeFileName(line) &&
            seen.insert(FoldedFileName(line)).second)
            names.emplace_back(line);
        atLineStart = whole;
    }
    return names;
}

std::wstring PlacedFilesText(const std::vector<std::wstring>& names)
{
    std::wstring text;
    for (const std::wstring& name : names) {
        text += name;
        text += kLineEnd;
    }
    return text;
}

bool RecordPlacedFiles(UpdateFileSystem& fs, const std::wstring& directory, const std::vector<std::wstring>& names)
{
    const std::wstring path = PlacedFilesPath(directory);
    std::vector<std::wstring> all;
    if (const auto text = fs.ReadText(path, kMaxPlacedFilesChars)) all = ParsePlacedFiles(*text);
    all.insert(all.end(), names.begin(), names.end());
    // Each name once, where it came last: the oldest names are the first to give way.
    std::vector<std::wstring> kept;
    std::set<std::wstring> seen;
    std::size_t chars = 0;
    for (auto name = all.rbegin(); name != all.rend(); ++name) {
        if (name->size() > kMaxRecordedName || !IsSafeFileName(*name) || !seen.insert(FoldedFileName(*name)).second)
            continue;
        chars += name->size() + kLineEnd.size();
        if (chars > kMaxPlacedFilesChars) break;
        kept.push_back(*name);
    }
    std::reverse(kept.begin(), kept.end());
    const std::wstring staged = StagedPath(path);
    if (!fs.WriteDurably(staged, PlacedFilesText(kept)) || !fs.Move(staged, path)) {
        fs.Remove(staged);
        return false;
    }
    return true;
}

}  // namespace corvane
