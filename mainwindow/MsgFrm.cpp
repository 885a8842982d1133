#include "mainwindow/MsgFrm.h"

#include "mainwindow/MainLayout.h"
#include "mainwindow/ReaderNames.h"
#include "mainwindow/WebMainFrm.h"
#include "resources/ResourceIds.h"
#include "runtime/Resources.h"
#include "runtime/DpiScale.h"

namespace corvane {

namespace {

constexpr DWORD kCaptionBackColor = 0x00DEDEDE;

rt::FormDesign BoxDesign()
{
    rt::FormDesign d;
    d.className = L"MsgFrm";
    d.caption = L"LumoraVeldan客户端";
    d.clientWidth = 3630;
    d.clientHeight = 2100;
    d.startUp = rt::StartUpPosition::CenterScreen;
    d.showInTaskbar = false;
    d.backColor = 0x00FFFFFF;
    return d;
}

}  // namespace

MsgFrm::MsgFrm(bool& m_bExit) : rt::Form(BoxDesign()), m_bExit(m_bExit) {}

MsgFrm::~MsgFrm() = default;

void MsgFrm::OnLoad()
{
    HWND self = hWnd();
    // The border that the caption strip paints stays on the form's own surface.
    SetAutoRedraw(true);
    // The designer's controls.
    BForm1.Create(self, 0, 0, ScaleWidth(), 495);
    BForm1.SetHasLogo(false);
    BForm1.SetBackColor(std::to_wstring(kCaptionBackColor));
    closebtn.Create(self, BoxCloseLeft(ScaleWidth()), 15, 645, 270);
    Label1.Create(self, 360, 840, 3135, 615);
    Label1.SetBackColor(0x00FFFFFF);
    Label1.SetCaption(kQuestion);
    for (iButton* b : {&iButton1, &iButton2}) {
        b->Create(self, b == &iButton1 ? 840 : 2040, 1320, 975, 375);
        b->SetAutoSize(false);
    }
    LoadAnswerPictures(Twips().dpiX);
    iButton1.SetCaption(L"是");
    iButton2.SetCaption(L"否");
    iButton1.Click = [this] { Answer(true); };
    iButton2.Click = [this] { Answer(false); };
    closebtn.Click = [this] { Answer(false); };
    closebtn.SetAccessibleName(kCloseButtonName);
    // "是" first, as the buttons stand; Esc and Alt+F4 answer like the close button.
    m_keys = std::make_unique<DialogKeys>(self, std::vector<HWND>{iButton1.rt::Window::hWnd(), iButton2.rt::Window::hWnd()},
                                          [this] { Answer(false); });
    // The caption strip lies under the close button and the question under the answers (the
    // label's designer box reaches below their tops).
    for (HWND below : {BForm1.rt::Window::hWnd(), Label1.rt::Window::hWnd()})
        ::SetWindowPos(below, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    BForm1.MouseDown = [this](short&, short&, float&, float&) {
        ::ReleaseCapture();
        ::SendMessageW(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    };

    // Load steps.
    BForm1.Move(rt::kKeep, rt::kKeep, Width());
    closebtn.SetBackPicture(rt::LoadResStripFor(IDB_CAPTION_CLOSE, 3, Twips().dpiX));
    BForm1.SetCaption(L"LumoraVeldan客户端");
}

void MsgFrm::LoadAnswerPictures(int dpi)
{
    const rt::PictureRef answerStrip = rt::LoadResStripFor(IDB_YESNO_STRIP, 3, dpi);
    for (iButton* b : {&iButton1, &iButton2}) b->SetBackPicture(answerStrip);
}

void MsgFrm::OnDpiChanged(int, int newDpi)
{
    LoadAnswerPictures(newDpi);
    closebtn.SetBackPicture(rt::LoadResStripFor(IDB_CAPTION_CLOSE, 3, newDpi));
}

void MsgFrm::OnResize()
{
    const rt::TwipsScale scale = Twips();
    const RegionSize r = RegionForClient(ScaleWidth(), ScaleHeight(), scale.TwipsPerPixelX(), scale.TwipsPerPixelY());
    const auto corner = static_cast<short>(rt::ScalePixels(kBoxCorner, scale.dpiX));
    WebMainFrm::RectRgn(hWnd(), r.width, r.height, corner, corner);
    BForm1.Printform(*this);
    closebtn.Move(BoxCloseLeft(Width()), rt::kKeep);
}

LRESULT MsgFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_ACTIVATE) return rt::Form::HandleMessage(msg, wParam, lParam);
    const LRESULT result = rt::Form::HandleMessage(msg, wParam, lParam);
    if (m_keys) m_keys->OnActivate(LOWORD(wParam) != WA_INACTIVE);
    return result;
}

void MsgFrm::Answer(bool exit)
{
    m_bExit = exit;
    Unload();
}

}  // namespace corvane
