#include "controls/BForm.h"

#include <cwchar>

#include "controls/CaptionSkin.h"
#include "resources/ResourceIds.h"
#include "runtime/HighContrast.h"
#include "runtime/MouseEvents.h"
#include "runtime/PersistentSurface.h"
#include "runtime/Rounding.h"

namespace corvane {

namespace {

constexpr DWORD kSurfaceColor = 0xDEDEDE;
constexpr COLORREF kCaptionColor = 0xFFFFFF;

struct SkinSizeTwips {
    int width;
    int height;
};

SkinSizeTwips SkinSize(const rt::Picture& skin, const rt::TwipsScale& scale)
{
    return {scale.TwipsX(skin.WidthPixels()), scale.TwipsY(skin.HeightPixels())};
}

void PaintSkin(HDC target, const rt::Picture& skin, const std::vector<SkinCopy>& copies, const rt::TwipsScale& scale)
{
    rt::MemoryDC source(::CreateCompatibleDC(target));
    if (!source) return;
    rt::SelectGuard select(source.get(), skin.handle());
    for (const SkinCopy& copy : copies) {
        const auto px = ToPixelCopy(copy, scale.TwipsPerPixelX(), scale.TwipsPerPixelY(), skin.WidthPixels(),
                                    skin.HeightPixels());
        if (px) ::BitBlt(target, px->dstX, px->dstY, px->width, px->height, source.get(), px->srcX, px->srcY, SRCCOPY);
    }
}

std::optional<DWORD> ParseColor(const std::wstring& text)
{
    if (text.empty() || text.size() > 12) return std::nullopt;
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || value < -2147483648LL || value > 4294967295LL) return std::nullopt;
    return static_cast<DWORD>(value);
}

void ArrowCursor()
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace

BForm::BForm(HMODULE module) : m_module(module), m_pp(rt::LoadResPicture(IDB_FRAME_SKIN, module))
{
    DrawingWindow::SetBackColor(kSurfaceColor);
    SetAutoRedraw(true);
    MakeFont();
}

void BForm::MakeFont()
{
    LOGFONTW lf{};
    lf.lfHeight = -rt::RoundHalfEven(9 * Twips().dpiY / 72.0);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = GB2312_CHARSET;
    lstrcpynW(lf.lfFaceName, L"宋体", LF_FACESIZE);
    m_font.reset(::CreateFontIndirectW(&lf));
}

void BForm::OnDpiChanged()
{
    // The host paints its border with the skin in its own resize, which follows.
    const int dpi = Twips().dpiX;
    if (rt::PictureRef skin = rt::LoadResPictureFor(IDB_FRAME_SKIN, dpi, m_module)) m_pp = std::move(skin);
    MakeFont();
    OnResize();
}

void BForm::OnCreated()
{
    OnResize();
}

std::wstring BForm::BackColor() const
{
    return std::to_wstring(DrawingWindow::BackColor());
}

void BForm::SetBackColor(const std::wstring& color)
{
    if (auto value = ParseColor(color)) DrawingWindow::SetBackColor(*value);
    DrawCaptionBar(m_caption);
    MarkChanged(L"BackColor");
}

void BForm::SetCaption(const std::wstring& caption)
{
    const bool renamed = caption != m_caption;
    m_caption = caption;
    if (renamed) rt::AccessibleHost::Notify(hWnd(), rt::acc::Event::NameChange);
    DrawCaptionBar(m_caption);
    MarkChanged(L"Caption");
}

void BForm::SetHasLogo(bool hasLogo)
{
    m_hasLogo = hasLogo;
    DrawCaptionBar(m_caption);
    MarkChanged(L"HasLogo");
}

void BForm::SetfrmHwnd(HWND hwnd)
{
    m_frmHwnd = hwnd;
    MarkChanged(L"frmHwnd");
}

void BForm::MarkChanged(const wchar_t* name)
{
    for (const auto& changed : m_changed)
        if (changed == name) return;
    m_changed.emplace_back(name);
}

void BForm::ReadProperties(rt::PropertyBag& bag)
{
    if (auto color = ParseColor(bag.ReadString(L"BackColor", std::to_wstring(kDefaultBackColor))))
        DrawingWindow::SetBackColor(*color);
    m_caption = bag.ReadString(L"Caption", L"NewForm");
    DrawCaptionBar(m_caption);
    m_frmHwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(bag.ReadInt(L"frmHwnd", 0)));
    m_hasLogo = bag.ReadBool(L"HasLogo", m_hasLogo);
}

void BForm::WriteProperties(rt::PropertyBag& bag)
{
    bag.Write(L"BackColor", BackColor(), std::wstring(std::to_wstring(kDefaultBackColor)));
    bag.Write(L"Caption", m_caption, std::wstring(L"NewForm"));
    DrawCaptionBar(m_caption);
    bag.Write(L"frmHwnd", static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(m_frmHwnd)), std::int32_t{0});
    bag.Write(L"HasLogo", m_hasLogo);
    m_changed.clear();
}

void BForm::PrintCaption(HDC dc, const std::wstring& caption, int xTwips, int yTwips)
{
    if (caption.empty()) return;
    const rt::TwipsScale scale = Twips();
    rt::SelectGuard font(dc, m_font.get());
    rt::ApplyInk(dc, rt::ink::Role::FormCaption, kCaptionColor);
    ::TextOutW(dc, scale.PixelsX(xTwips), scale.PixelsY(yTwips), caption.c_str(), static_cast<int>(caption.size()));
}

void BForm::DrawCaptionBar(const std::wstring& caption)
{
    HDC dc = hDC();
    if (!HasWindow() || !dc) return;
    Cls();
    if (m_pp) {
        const SkinSizeTwips skin = SkinSize(*m_pp, Twips());
        PaintSkin(dc, *m_pp, CaptionBarCopies(Width(), skin.width, skin.height), Twips());
    }
    const TwipsPoint origin = CaptionTextOrigin(m_hasLogo);
    PrintCaption(dc, caption, origin.x, origin.y);
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void BForm::Nomin()
{
    HDC dc = hDC();
    if (!HasWindow() || !dc || !m_pp) return;
    PaintSkin(dc, *m_pp, {NominCopy(Width(), SkinSize(*m_pp, Twips()).width)}, Twips());
    PrintCaption(dc, m_caption, 120, 100);
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void BForm::Printform(rt::Form& frm)
{
    if (!frm.HasWindow()) return;
    frm.Cls();
    if (!m_pp) return;
    const rt::TwipsScale scale = frm.Twips();
    const SkinSizeTwips skin = SkinSize(*m_pp, scale);
    const auto copies = BorderCopies(frm.Width(), frm.Height(), skin.width, skin.height);
    if (frm.AutoRedraw() && frm.hDC()) {
        PaintSkin(frm.hDC(), *m_pp, copies, scale);
        ::InvalidateRect(frm.hWnd(), nullptr, FALSE);
        return;
    }
    // Without a surface that keeps the drawing, paint after the pending erase.
    ::UpdateWindow(frm.hWnd());
    rt::ClientDC dc(frm.hWnd());
    PaintSkin(dc.get(), *m_pp, copies, scale);
}

void BForm::OnResize()
{
    if (m_sizing) return;
    const int height = Twips().PixelsY(kCaptionStripHeight);
    if (PixelSize().cy != height) {
        m_sizing = true;
        Move(rt::kKeep, rt::kKeep, rt::kKeep, kCaptionStripHeight);
        m_sizing = false;
    }
    DrawCaptionBar(m_caption);
}

void BForm::OnMouseDownMessage(const rt::MouseEvent& e)
{
    ArrowCursor();
    if (e.button == 1) {
        ::ReleaseCapture();
        // The platform's move loop starts from the point where the press happened.
        POINT cursor{};
        ::GetCursorPos(&cursor);
        if (m_frmHwnd)
            ::SendMessageW(m_frmHwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
        ArrowCursor();
    }
    short button = static_cast<short>(e.button), shift = static_cast<short>(e.shift);
    float x = static_cast<float>(e.x), y = static_cast<float>(e.y);
    if (MouseDown) MouseDown(button, shift, x, y);
}

LRESULT BForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT answer = 0; m_access.HandleMessage(hWnd(), msg, wParam, lParam, answer)) return answer;
    if (msg == WM_SYSCOLORCHANGE) DrawCaptionBar(m_caption);
    const rt::MouseEvent mouse = rt::TranslateMouse(msg, wParam, lParam, Twips());
    switch (mouse.action) {
    case rt::MouseAction::Down: OnMouseDownMessage(mouse); return 0;
    case rt::MouseAction::DoubleClick:
        if (mouse.button == 1) {
            if (DblClick) DblClick();
        } else {
            OnMouseDownMessage(mouse);
        }
        return 0;
    case rt::MouseAction::Move: {
        ArrowCursor();
        short button = static_cast<short>(mouse.button), shift = static_cast<short>(mouse.shift);
        float x = static_cast<float>(mouse.x), y = static_cast<float>(mouse.y);
        if (MouseMove) MouseMove(button, shift, x, y);
        return 0;
    }
    case rt::MouseAction::Up:
    case rt::MouseAction::None: break;
    }
    return Control::HandleMessage(msg, wParam, lParam);
}

}  // namespace corvane
