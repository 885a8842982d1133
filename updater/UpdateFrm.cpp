#include "updater/UpdateFrm.h"

#include <shellapi.h>

#include "app/TempDir.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/Handles.h"
#include "runtime/MessageBox.h"
#include "runtime/Rounding.h"
#include "runtime/Screen.h"
#include "runtime/TextFile.h"
#include "updater/FileReplace.h"

namespace corvane {

namespace {

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

std::wstring TempDirectory()
{
    wchar_t buffer[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, buffer);
    return NormalizeTempDir(std::wstring_view(buffer, MAX_PATH));
}

}  // namespace

UpdateFrm::UpdateFrm(UpdaterCommand command) : rt::Form(UpdateDesign()), m_command(std::move(command)) {}

void UpdateFrm::OnLoad()
{
    m_downfile = std::make_unique<CKvDownLoadFile>();
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
    closebtn.SetBackPicture(rt::LoadResPicture(IDB_UPDATER_CLOSE));
    closebtn.Click = [this] { AskToCancel(); };
    // Above the caption strip it sits on, which was created first.
    ::SetWindowPos(closebtn.hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    Label1.Create(hWnd(), 240, 1080, 4095, 300);
    Label1.SetFont(L"宋体", 9);

    KvProgressBar1.Create(hWnd(), 240, 1560, 4095, 150);
    BForm1.Move(0, 0, ScaleWidth());
}

void UpdateFrm::OnResize()
{
    const rt::TwipsScale scale = rt::Screen::Scale();
    const int w = rt::RoundHalfEven16(scale.ScaleXToPixels(ScaleWidth()) + 1);
    const int h = rt::RoundHalfEven16(scale.ScaleYToPixels(ScaleHeight()) + 1);
    // On success the window owns the region; otherwise it is ours to delete.
    HRGN region = ::CreateRoundRectRgn(0, 0, w, h, 6, 6);
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

    if (!m_cancel) {
        if (outcome.allReplaced)
            rt::MsgBox(L"软件已升至最新版本！", rt::kMsgInformation);
        else
            rt::MsgBox(L"更新未能完成，已保留原有文件，请稍后再试！", rt::kMsgExclamation);
    }
    // Whatever happened, the player gets a working client back.
    const std::wstring program = outcome.lastReplaced.empty() ? m_command.executable : outcome.lastReplaced;
    if (!program.empty())
        ::ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    Unload();
}

UpdateFrm::Outcome UpdateFrm::WalkManifest()
{
    Outcome outcome;
    const auto lines = rt::ReadAnsiLines(TempDirectory() + L"update.txt");
    if (!lines) {
        outcome.allReplaced = false;
        m_cancel = true;  // nothing to report: end quietly
        return outcome;
    }
    for (const UpdateFile& file : PlanUpdateFiles(*lines, m_command.directory)) {
        Label1.SetCaption(L"正在下载：" + file.name);
        if (FetchFile(file))
            outcome.lastReplaced = file.target;
        else
            outcome.allReplaced = false;
        if (m_cancel) break;
    }
    return outcome;
}

bool UpdateFrm::FetchFile(const UpdateFile& file)
{
    // The installed file stays untouched until a complete copy lies beside it.
    const std::wstring temp = TempFileBeside(file.target);
    if (temp.empty()) return false;
    m_downfile->DownLoadFile(file.url, temp, false, true);
    if (m_cancel || !m_downfile->ReceivedAll()) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return ReplaceWithRetry(temp, file.target, kReplacePatienceMs);
}

}  // namespace corvane
