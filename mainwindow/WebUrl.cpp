#include "mainwindow/WebUrl.h"

#include "mainwindow/GamePageLimits.h"
#include "mainwindow/MainLayout.h"
#include "runtime/DpiScale.h"
#include "runtime/Screen.h"
#include "tabstrip/CTabItem.h"

namespace corvane {

namespace {

constexpr long kBrowserOverhang = 2;  // 96-dpi pixels: hides the browser's own border
constexpr wchar_t kBlankPage[] = L"about:blank";

rt::FormDesign PageDesign()
{
    rt::FormDesign d;
    d.className = L"WebUrl";
    // The tab carries the page's caption; the page's window shows none, not even to a shell.
    d.clientWidth = 9090;
    d.clientHeight = 6255;
    d.startUp = rt::StartUpPosition::Manual;
    d.showInTaskbar = false;
    d.embeddedOnly = true;
    d.backColor = 0x00FFFFFF;
    return d;
}

}  // namespace

WebUrl::WebUrl() : rt::Form(PageDesign()) {}

WebUrl::~WebUrl()
{
    // The browser is a child of Picture1 and goes first.
    wb.reset();
}

void WebUrl::OnLoad()
{
    Picture1.Create(rt::Window::hWnd(), 0, 0, ScaleWidth(), ScaleHeight());
    Picture1.SetBackColor(0x00FFFFFF);
    Picture1.Resize = [this] { Picture1_Resize(); };
    const TwipsRect r = BrowserPlace();
    wb = browser::CreateWebView(Picture1.rt::Window::hWnd(), RECT{r.left, r.top, r.left + r.width, r.top + r.height});
    if (!wb) return;
    wb->navigationFilter = {&GamePageMayGo};
    wb->events.titleChange = [this](const std::wstring& text) { wb_TitleChange(text); };
    wb->events.documentComplete = [this](const std::wstring&, bool) { wb_DocumentComplete(); };
    wb->Navigate(kBlankPage);
}

void WebUrl::OnResize()
{
    Picture1.Move(0, 0, ScaleWidth(), ScaleHeight());
}

void WebUrl::Picture1_Resize()
{
    if (!wb) return;
    const TwipsRect r = BrowserPlace();
    wb->Move(r.left, r.top, r.width, r.height);
}

TwipsRect WebUrl::BrowserPlace() const
{
    // In pixels here: the overhang is 2 pixels at 96 dpi, scaled by the window's.
    const SIZE inner = Picture1.PixelSize();
    const int overhang = rt::ScalePixels(kBrowserOverhang, rt::Screen::DpiFor(Picture1.rt::Window::hWnd()));
    return OverhangingChild(inner.cx, inner.cy, overhang);
}

void WebUrl::OnUnload(bool&)
{
    wb.reset();
}

void WebUrl::OpenURL(const std::wstring& szURL)
{
    Load();
    if (wb) wb->Navigate(szURL);
}

void WebUrl::Initialize(IuTab* implement, const std::shared_ptr<CTabItem>& item)
{
    m_strip = implement;
    m_item = item;
}

void WebUrl::RefreshPage()
{
    if (wb) wb->Refresh();
}

void WebUrl::wb_TitleChange(const std::wstring& text)
{
    if (const std::shared_ptr<CTabItem> item = m_item.lock()) item->SetCaption(text);
}

void WebUrl::wb_DocumentComplete()
{
    // Every completion, frames included: the game page never shows scroll bars. A document
    // without a root element (a download, a picture) is left as it is.
    if (wb) wb->SetRootOverflow(L"hidden");
}

}  // namespace corvane
