#include "updater/StagedReplace.h"

#include "updater/UpdatePlan.h"

namespace corvane {

namespace {

constexpr std::wstring_view kStaged = L".corvane-new";
constexpr std::wstring_view kSetAside = L".corvane-old";
constexpr std::wstring_view kJournal = L".corvane-journal";
constexpr std::wstring_view kRecord = L".corvane-files";  // the record of placed files
// A journal line: a mark, then the target's name. The mark says whether the target had an old
// file: only then does undoing the commit put one back; otherwise it removes what was placed.
constexpr wchar_t kReplaces = L'=';
constexpr wchar_t kAdds = L'+';
// Far more than a manifest within its size can list; a longer journal is not one of ours.
constexpr std::size_t kMaxJournalChars = 1 << 20;

bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix)
{
    if (text.size() < suffix.size()) return false;
    text = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

struct Step {
    std::wstring target;
    bool setAside = false;  // the old file waits at SetAsidePath
    bool placed = false;    // the new file is at target
};

// Puts every step back as it was; false when an old file could not return.
bool RollBack(UpdateFileSystem& fs, std::vector<Step>& steps)
{
    bool complete = true;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (step->placed && !step->setAside && !fs.Remove(step->target)) complete = false;
        if (step->setAside && !fs.Move(SetAsidePath(step->target), step->target)) complete = false;
    }
    return complete;
}

struct JournalEntry {
    std::wstring name;
    bool replaces = false;
};

// Each target as the directory holds it before the first move.
std::optional<std::wstring> JournalText(UpdateFileSystem& fs, const std::wstring& directory,
                                        const std::vector<std::wstring>& targets)
{
    std::wstring text;
    for (const std::wstring& target : targets) {
        if (!target.starts_with(directory)) return std::nullopt;
        text += fs.Exists(target) ? kReplaces : kAdds;
        text += target.substr(directory.size());
        text += L'\n';
    }
    return text;
}

// The entries of a journal; none when a line is not one the updater writes (a journal cut short
// by a crash while it was written is of no use either: no move had been made yet).
std::optional<std::vector<JournalEntry>> ParseJournal(std::wstring_view text)
{
    std::vector<JournalEntry> entries;
    while (!text.empty()) {
        const std::size_t end = text.find(L'\n');
        if (end == std::wstring_view::npos) return std::nullopt;
        const std::wstring_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line.size() < 2 || (line[0] != kReplaces && line[0] != kAdds) || !IsSafeFileName(line.substr(1)))
            return std::nullopt;
        entries.push_back({std::wstring(line.substr(1)), line[0] == kReplaces});
    }
    return entries;
}

// Undoes an unfinished commit, last target first. Every step may have been made or not; each
// undo is right in both cases, so a run killed while undoing is undone again by the next.
bool Undo(UpdateFileSystem& fs, const std::wstring& directory, const std::vector<JournalEntry>& entries)
{
    bool complete = true;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::wstring target = directory + entry->name;
        if (entry->replaces) {
            // Set aside means not yet back: the target is the new file, or none.
            const std::wstring aside = SetAsidePath(target);
            if (fs.Exists(aside) && !fs.Move(aside, target)) complete = false;
        } else if (!fs.Exists(StagedPath(target)) && fs.Exists(target) && !fs.Remove(target)) {
            // Its staged file gone means it was placed.
            complete = false;
        }
    }
    return complete;
}

}  // namespace

std::wstring StagedPath(const std::wstring& target) { return target + std::wstring(kStaged); }
std::wstring SetAsidePath(const std::wstring& target) { return target + std::wstring(kSetAside); }
std::wstring JournalPath(const std::wstring& directory) { return directory + L"update" + std::wstring(kJournal); }

bool IsUpdaterFileName(std::wstring_view name)
{
    return EndsWithNoCase(name, kStaged) || EndsWithNoCase(name, kSetAside) || EndsWithNoCase(name, kJournal) ||
           EndsWithNoCase(name, kRecord);
}

CommitResult CommitStaged(UpdateFileSystem& fs, const std::wstring& directory,
                          const std::vector<std::wstring>& targets)
{
    const std::wstring journal = JournalPath(directory);
    const std::optional<std::wstring> text = JournalText(fs, directory, targets);
    if (!text || !fs.WriteDurably(journal, *text)) {
        fs.Remove(journal);
        DiscardStaged(fs, targets);
        return CommitResult::RolledBack;
    }
    std::vector<Step> steps;
    bool failed = false;
    for (const std::wstring& target : targets) {
        const std::wstring staged = StagedPath(target);
        if (!fs.Flush(staged)) {
            failed = true;
            break;
        }
        Step& step = steps.emplace_back(Step{target});
        if (fs.Exists(target)) {
            if (!fs.Move(target, SetAsidePath(target))) {
                failed = true;
                break;
            }
            step.setAside = true;
        }
        if (!fs.Move(staged, target)) {
            failed = true;
            break;
        }
        step.placed = true;
    }
    // The journal's removal commits the update. One that stays would undo it at the next run,
    // when the new files may be running: undone now instead.
    if (!failed && !fs.Remove(journal)) failed = true;
    if (failed) {
        const bool complete = RollBack(fs, steps);
        DiscardStaged(fs, targets);
        // Kept when an old file could not return: the next run tries again.
        if (complete) fs.Remove(journal);
        return complete ? CommitResult::RolledBack : CommitResult::RollbackIncomplete;
    }
    // An old file still in use stays behind under its own name; the next run removes it.
    for (const Step& step : steps)
        if (step.setAside) fs.Remove(SetAsidePath(step.target));
    return CommitResult::Committed;
}

void DiscardStaged(UpdateFileSystem& fs, const std::vector<std::wstring>& targets)
{
    for (const std::wstring& target : targets) {
        const std::wstring staged = StagedPath(target);
        if (fs.Exists(staged)) fs.Remove(staged);
    }
}

bool CleanLeftovers(UpdateFileSystem& fs, const std::wstring& directory)
{
    const std::wstring journal = JournalPath(directory);
    if (fs.Exists(journal)) {
        const std::optional<std::wstring> text = fs.ReadText(journal, kMaxJournalChars);
        const std::optional<std::vector<JournalEntry>> entries = text ? ParseJournal(*text) : std::nullopt;
        if (entries && !Undo(fs, directory, *entries)) return false;
        if (!fs.Remove(journal)) return false;
    }
    for (const std::wstring& name : fs.List(directory)) {
        const std::wstring path = directory + name;
        if (EndsWithNoCase(name, kStaged)) {
            fs.Remove(path);
        } else if (EndsWithNoCase(name, kSetAside)) {
            const std::wstring target = path.substr(0, path.size() - kSetAside.size());
            if (fs.Exists(target))
                fs.Remove(path);
            else
                fs.Move(path, target);
        }
    }
    return true;
}

}  // namespace corvane
