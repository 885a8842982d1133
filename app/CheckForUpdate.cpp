#include "app/CheckForUpdate.h"

#include <windows.h>
#include <shellapi.h>

#include "app/Endpoints.h"
#include "app/PublicData.h"
#include "app/StartupMarks.h"
#include "net/CKvDownLoadFile.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/MessageBox.h"
#include "update/ManifestVerifier.h"
#include "update/UpdateManifest.h"
#include "update/UpdaterFolder.h"

namespace corvane {

namespace {

// The whole download of the manifest: after that start-up goes on as if none had come.
constexpr std::uint32_t kCheckTimeLimitMs = 15000;

std::wstring LocalVersion()
{
    const rt::VersionFields v = rt::App::Version();
    return LocalVersionString(v.major, v.minor, v.revision);
}

// "<dir>|<dir>\<name>.exe": one unquoted string, which the updater splits at "|".
std::wstring UpdaterParameters()
{
    const std::wstring dir = rt::App::Path();
    // A drive root already ends in "\".
    const std::wstring sep = (!dir.empty() && dir.back() == L'\\') ? L"" : L"\\";
    return dir + L"|" + dir + sep + rt::App::EXEName() + L".exe";
}

// Writes Update.exe from the resources into a folder of its own and starts it; false when it could
// not be written.
bool StartUpdater()
{
    // An updater still running from an earlier update would end at once: give up quietly.
    if (UpdaterRunning()) return false;
    const std::optional<std::wstring> folder = MakeUpdaterFolder(GetTempDir());
    if (!folder) return false;
    const std::wstring updater = *folder + L"Update.exe";
    if (!SaveResourceToFile(IDR_UPDATER, L"UPDATE", updater)) {
        ::DeleteFileW(updater.c_str());
        ::RemoveDirectoryW(folder->c_str());
        return false;
    }
    ::ShellExecuteW(nullptr, L"open", updater.c_str(), UpdaterParameters().c_str(), nullptr, SW_SHOWNORMAL);
    return true;
}

}  // namespace

bool CheckForUpdate(UpdateMode mode)
{
    // "更新" clicked again while its own download or question is up starts nothing.
    static bool running = false;
    if (running) return false;
    running = true;
    struct Done {
        ~Done() { running = false; }
    } done;

    const std::wstring manifest = GetTempDir() + L"update.txt";
    const std::wstring local = LocalVersion();

    // The folders of earlier updates go once their updaters have ended.
    RemoveEndedUpdaterFolders(GetTempDir());

    // The copy from an earlier check is replaced only by a manifest that arrived whole (a cut one
    // would drop file lines) and passed the check: the updater acts on that copy, so a refused one
    // never takes the place of the last one that passed. When nothing arrives, that earlier copy
    // is read all the same.
    ManifestReading reading;
    {
        const std::wstring incoming = manifest + L".part";
        CKvDownLoadFile downloader;
        downloader.LimitSize(static_cast<std::int32_t>(kMaxManifestBytes));
        downloader.LimitTime(kCheckTimeLimitMs);
        downloader.DownLoadFile(CurrentEndpoints().manifest, incoming, true, false);
        if (downloader.ReceivedAll()) reading = ReadCheckedManifest(incoming);
        if (reading.outcome == ManifestReading::Outcome::Accepted &&
            !::MoveFileExW(incoming.c_str(), manifest.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            // The updater would read the earlier copy: nothing is offered this time.
            ::DeleteFileW(incoming.c_str());
            return false;
        }
        ::DeleteFileW(incoming.c_str());
    }
    StartupMark("manifest downloaded");

    if (reading.outcome == ManifestReading::Outcome::Missing) reading = ReadCheckedManifest(manifest);
    if (reading.outcome == ManifestReading::Outcome::Missing) return false;
    if (reading.outcome == ManifestReading::Outcome::Refused) {
        // Never "current": the player would believe a forged or broken answer.
        if (mode == UpdateMode::OnDemand) rt::MsgBox(kUnverifiedUpdateText, rt::kMsgExclamation);
        return false;
    }
    const auto value = ManifestVersion(reading.lines);
    if (!value) return false;

    if (*value == local) {
        if (mode == UpdateMode::OnDemand) rt::MsgBox(L"当前版本已是最新，无需更新！", rt::kMsgExclamation);
        return false;
    }
    if (rt::MsgBox(L"发现有新版本，是否现在更新！", rt::kMsgQuestionYesNo) != rt::kAnswerYes) return false;
    if (!StartUpdater()) return false;

    if (mode == UpdateMode::StartUp) rt::App::End();
    return true;
}

}  // namespace corvane
