#include "updater/StagedReplace.h"

namespace corvane {

namespace {

constexpr std::wstring_view kStaged = L".corvane-new";
constexpr std::wstring_view kSetAside = L".corvane-old";

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

}  // namespace

std::wstring StagedPath(const std::wstring& target) { return target + std::wstring(kStaged); }
std::wstring SetAsidePath(const std::wstring& target) { return target + std::wstring(kSetAside); }

bool IsUpdaterFileName(std::wstring_view name)
{
    return EndsWithNoCase(name, kStaged) || EndsWithNoCase(name, kSetAside);
}

CommitResult CommitStaged(UpdateFileSystem& fs, const std::vector<std::wstring>& targets)
{
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
    if (failed) {
        const bool complete = RollBack(fs, steps);
        DiscardStaged(fs, targets);
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

void CleanLeftovers(UpdateFileSystem& fs, const std::wstring& directory)
{
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
}

}  // namespace corvane
