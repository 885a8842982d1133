#include "updater/UpdateFrm.h"

#include <shellapi.h>

#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/Handles.h"
#include "runtime/MessageBox.h"
#include "runtime/Rounding.h"
#include "runtime/DpiScale.h"
#include "runtime/TempDir.h"
#include "update/ManifestVerifier.h"
#include "updater/PlacedFiles.h"
#include "updater/PlatformFileSystem.h"

namespace corvane {

namespace {

constexpr const wchar_t* kNotRestored = L"更新未能完成，部分原有文件未能恢复，请重新安装客户端！";

rt::FormDesign UpdateDesign()
{
    rt::FormDesign d;
    d.className = L"UpdateFrm";
    d.caption = L"更新";
    d.clientWidth = 4575;  // 305 x 144 pixels
    d.clientHeight = 2160;
    d.backColor = 0xFFFFFF;
    d.startUp = rt::StartUpPosition::CenterScreen;
    d.iconResource = IDI_PROGRAM;
    return d;
}

}  // namespace

UpdateFrm::UpdateFrm(UpdaterCommand command) : rt::Form(UpdateDesign()), m_command(std::move(command)) {}

void UpdateFrm::OnLoad()
{
    m_downfile = std::make_unique<CKvDownLoadFile>();
    m_downfile->LimitStall(kStallLimitMs);
    m_downfile->LimitSize(kMaxFileBytes);
    m_downfile->QueryFileInfo = [this](std::int32_t& size) { KvProgressBar1.SetMax(size); };
    m_downfile->Loading = [this](std::int32_t& received) { KvProgressBar1.SetValue(received); };

    SetAutoRedraw(true);
    BForm1.Create(hWnd(), 0, 0, 4575, 495);
    BForm1.SetBackColor(L"14606046");  // &H00DEDEDE
    BForm1.SetCaption(L"更新");
    BForm1.MouseDown = [this](short&, short&, float&, float&) {
        ::ReleaseCapture();
        ::SendMessageW(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    };

    closebtn.Create(hWnd(), 3840, 15, 615, 255);
    closebtn.SetBackPicture(rt::LoadResStripFor(IDB_UPDATER_CLOSE, 3, Twips().dpiX));
    closebtn.Click = [this] { AskToCancel(); };
    m_keys = std::make_unique<DialogKeys>(hWnd(), std::vector<HWND>{}, [this] { AskToCancel(); });
    // Above the caption strip it sits on, which was created first.
    ::SetWindowPos(closebtn.hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    Label1.Create(hWnd(), 240, 1080, 4095, 300);
    Label1.SetFont(L"宋体", 9);

    KvProgressBar1.Create(hWnd(), 240, 1560, 4095, 150);
    BForm1.Move(0, 0, ScaleWidth());
}

void UpdateFrm::OnDpiChanged(int, int newDpi)
{
    closebtn.SetBackPicture(rt::LoadResStripFor(IDB_UPDATER_CLOSE, 3, newDpi));
}

void UpdateFrm::OnResize()
{
    const rt::TwipsScale scale = Twips();
    const int w = rt::RoundHalfEven16(scale.ScaleXToPixels(ScaleWidth()) + 1);
    const int h = rt::RoundHalfEven16(scale.ScaleYToPixels(ScaleHeight()) + 1);
    // On success the window owns the region; otherwise it is ours to delete.
    const int corner = rt::ScalePixels(6, scale.dpiX);
    HRGN region = ::CreateRoundRectRgn(0, 0, w, h, corner, corner);
    if (region && !::SetWindowRgn(hWnd(), region, TRUE)) ::DeleteObject(region);
    BForm1.Printform(*this);
    closebtn.Move(Width() - 730, rt::kKeep);
}

void UpdateFrm::OnQueryUnload(bool& cancel, rt::UnloadMode mode)
{
    // Closing the window from outside while files are fetched is the close button's question.
    if (m_walking && mode != rt::UnloadMode::FormCode) {
        cancel = true;
        AskToCancel();
    }
}

void UpdateFrm::AskToCancel()
{
    if (m_cancel) return;
    if (rt::MsgBox(L"您是否要退出更新！", rt::kMsgQuestionYesNo) != rt::kAnswerYes) return;
    m_cancel = true;
    m_downfile->StopDownLoad();
}

void UpdateFrm::Run()
{
    m_walking = true;
    const Outcome outcome = WalkManifest();
    m_walking = false;

    if (outcome.message) rt::MsgBox(outcome.message, outcome.style);
    // Whatever happened, the player gets a working client back.
    if (!outcome.program.empty())
        ::ShellExecuteW(nullptr, L"open", outcome.program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    Unload();
}

UpdateFrm::Outcome UpdateFrm::WalkManifest()
{
    PlatformFileSystem fs(kReplacePatienceMs);
    Outcome outcome{nullptr, 0, m_command.executable};
    // An earlier run killed while it put files in place: what it could not undo is not built on.
    if (!CleanLeftovers(fs, m_command.directory)) {
        outcome.message = kNotRestored;
        outcome.style = rt::kMsgExclamation;
        return outcome;
    }
    // Anything of the same user may have replaced the manifest since the client checked it.
    const ManifestReading reading = ReadCheckedManifest(SystemTempDir() + L"update.txt");
    if (reading.outcome == ManifestReading::Outcome::Missing) return outcome;
    if (reading.outcome == ManifestReading::Outcome::Refused) {
        outcome.message = kUnverifiedUpdateText;
        outcome.style = rt::kMsgExclamation;
        return outcome;
    }

    const auto isFolder = [](const std::wstring& target) {
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    };
    const std::vector<UpdateFile> files = PlanUpdateFiles(reading.lines, m_command.directory, isFolder);
    if (files.empty()) {
        outcome.message = L"没有需要更新的文件，客户端未作任何改动！";
        outcome.style = rt::kMsgExclamation;
        return outcome;
    }
    std::vector<std::wstring> targets;
    bool fetched = true;
    for (const UpdateFile& file : files) {
        Label1.SetCaption(L"正在下载：" + file.name);
        targets.push_back(file.target);
        if (!FetchFile(file, reading.verified) || m_cancel) {
            fetched = false;
            break;
        }
    }

    static constexpr const wchar_t* kKept = L"更新未能完成，已保留原有文件，请稍后再试！";
    if (!fetched) {
        DiscardStaged(fs, targets);
        if (!m_cancel) {
            outcome.message = kKept;
            outcome.style = rt::kMsgExclamation;
        }
        return outcome;
    }
    switch (CommitStaged(fs, m_command.directory, targets)) {
    case CommitResult::Committed: {
        // The uninstaller removes what updates placed, and only that.
        std::vector<std::wstring> names;
        for (const UpdateFile& file : files) names.push_back(file.name);
        if (!RecordPlacedFiles(fs, m_command.directory, names))
            rt::App::LogEvent(L"Update: the record of placed files could not be written");
        outcome.message = L"软件已升至最新版本！";
        outcome.style = rt::kMsgInformation;
        // The last file when it is a program; a manifest ending in a data file still brings the
        // client back.
        const std::wstring& last = targets.back();
        if (last.size() >= 4 && ::lstrcmpiW(last.c_str() + last.size() - 4, L".exe") == 0) outcome.program = last;
        break;
    }
    case CommitResult::RolledBack:
        outcome.message = kKept;
        outcome.style = rt::kMsgExclamation;
        break;
    case CommitResult::RollbackIncomplete:
        outcome.message = kNotRestored;
        outcome.style = rt::kMsgExclamation;
        break;
    }
    return outcome;
}

bool UpdateFrm::FetchFile(const UpdateFile& file, bool mustMatchHash)
{
    const std::wstring staged = StagedPath(file.target);
    m_downfile->DownLoadFile(file.url, staged, false, true);
    if (m_cancel || !m_downfile->ReceivedAll()) return false;
    // A signed manifest names every file's hash; an unsigned one may.
    if (mustMatchHash && !file.sha256) return false;
    if (file.sha256 && Sha256OfFile(staged) != file.sha256) {
        rt::App::LogEvent(L"Update: " + file.name + L" does not match its SHA-256");
        return false;
    }
    return true;
}

}  // namespace corvane
