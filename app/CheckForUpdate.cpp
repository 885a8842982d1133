#include "app/CheckForUpdate.h"

#include <windows.h>
#include <shellapi.h>

#include "app/CKvDownLoadFile.h"
#include "app/Endpoints.h"
#include "app/PublicData.h"
#include "app/UpdateManifest.h"
#include "mainwindow/WebMainFrm.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/MessageBox.h"
#include "runtime/TextFile.h"

namespace corvane {

namespace {

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

// Writes Update.exe from the resources and starts it; false when it could not be written.
bool StartUpdater()
{
    const std::wstring updater = GetTempDir() + L"Update.exe";
    // An updater still running from an earlier update keeps the file locked: give up quietly.
    if (!SaveResourceToFile(IDR_UPDATER, L"UPDATE", updater)) return false;
    ::ShellExecuteW(nullptr, L"open", updater.c_str(), UpdaterParameters().c_str(), nullptr, SW_SHOWNORMAL);
    return true;
}

}  // namespace

void CheckForUpdate(UpdateMode mode)
{
    const std::wstring manifest = GetTempDir() + L"update.txt";
    const std::wstring local = LocalVersion();

    // The result does not matter: a manifest left by an earlier check is read all the same.
    {
        CKvDownLoadFile downloader;
        downloader.DownLoadFile(CurrentEndpoints().manifest, manifest, true, false);
    }

    const auto lines = rt::ReadAnsiLines(manifest);
    if (!lines) return;
    const auto value = ManifestVersion(*lines);
    if (!value) return;

    if (*value == local) {
        if (mode == UpdateMode::OnDemand) rt::MsgBox(L"当前版本已是最新，无需更新！", rt::kMsgExclamation);
        return;
    }
    if (rt::MsgBox(L"发现有新版本，是否现在更新！", rt::kMsgQuestionYesNo) != rt::kAnswerYes) return;
    if (!StartUpdater()) return;

    if (mode == UpdateMode::StartUp) rt::App::End();
    if (auto* frm = WebMainFrm::IfExists()) {
        frm->m_bExit = true;
        frm->Unload();
    }
}

}  // namespace corvane
