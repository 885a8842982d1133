#include "controls/iButton.h"

#include <windowsx.h>

#include <utility>

#include "controls/PictureOps.h"
#include "runtime/MouseEvents.h"
#include "runtime/PersistentSurface.h"
#include "runtime/Rounding.h"

namespace corvane {

namespace {

std::wstring PictureText(const rt::PictureRef& picture)
{
    return picture ? ImageToText(ReadPixels(picture->handle())) : std::wstring();
}

rt::PictureRef PictureOfText(const std::wstring& text)
{
    if (text.empty()) return nullptr;
    const auto image = ImageFromText(text);
    return image ? PictureFromPixels(*image) : nullptr;
}

}  // namespace

iButton::iButton() : m_timer1([this] { OnTimer1(); })
{
    SetBackColor(kWindowBackground);
    SetAutoRedraw(true);
    ApplyFont();
}

iButton::~iButton()
{
    m_timer1.Stop();
    m_stateImages.reset();
    m_backPicture.reset();
    ReleaseOrphanedStateImages();
}

void iButton::OnDpiChanged()
{
    ApplyFont();
    DrawButton(CurrentState());
}

void iButton::OnCreated()
{
    m_timer1.Start(50);
    BuildStateImages();
}

// --- Properties ------------------------------------------------------------------------------

void iButton::SetcDrawMode(short mode)
{
    m_drawMode = mode;
    DrawButton(CurrentState());
    MarkChanged(L"cDrawMode");
}

void iButton::SetcFont(const FontDesc& font)
{
    m_font = font;
    ApplyFont();
    DrawButton(CurrentState());
    MarkChanged(L"cFont");
}

void iButton::SetcForeColor(DWORD color)
{
    m_foreColor = color;
    DrawButton(CurrentState());
    MarkChanged(L"cForeColor");
}

void iButton::SetLocked(bool locked)
{
    m_locked = locked;
    cMouseAction(CurrentState(), true);
}

void iButton::SetValue(bool value)
{
    if (m_style != 1) {
        m_value = false;
        return;
    }
    m_value = value;
    cMouseAction(CurrentState(), true);
}

void iButton::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (autoSize) BuildStateImages();
    MarkChanged(L"AutoSize");
}

void iButton::SetStyle(std::int32_t style)
{
    m_style = style;
    BuildStateImages();
    MarkChanged(L"Style");
}

void iButton::SetBackPicture(rt::PictureRef picture)
{
    m_backPicture = std::move(picture);
    BuildStateImages();
    MarkChanged(L"BackPicture");
}

void iButton::SetIcon(rt::PictureRef picture)
{
    FlushDrawing();  // the icon shows from the next repaint on, not in one already asked for
    m_icon = std::move(picture);
    MarkChanged(L"Icon");
}

void iButton::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    if (HasWindow()) ::EnableWindow(hWnd(), enabled);
    cMouseAction(CurrentState(), true);
    MarkChanged(L"Enabled");
}

void iButton::SetcBackStyle(short backStyle)
{
    m_backStyle = backStyle;
    // An opaque surface is the whole rectangle again.
    if (backStyle != 0 && HasWindow()) ::SetWindowRgn(hWnd(), nullptr, TRUE);
    DrawButton(CurrentState());
    MarkChanged(L"cBackStyle");
}

void iButton::SetCaption(const std::wstring& caption)
{
    const bool renamed = caption != m_caption && m_accessibleName.empty();
    m_caption = caption;
    if (renamed) rt::AccessibleHost::Notify(hWnd(), rt::acc::Event::NameChange);
    DrawButton(CurrentState());
    MarkChanged(L"Caption");
}

HDC iButton::hdc() const
{
    // Reading the surface is where a pending repaint must have happened.
    const_cast<iButton*>(this)->FlushDrawing();
    return hDC();
}

HBITMAP iButton::Image() const
{
    HDC dc = hdc();
    return dc ? static_cast<HBITMAP>(::GetCurrentObject(dc, OBJ_BITMAP)) : nullptr;
}

void iButton::MarkChanged(const wchar_t* name)
{
    for (const auto& changed : m_changed)
        if (changed == name) return;
    m_changed.emplace_back(name);
}

void iButton::ApplyFont()
{
    LOGFONTW lf{};
    lf.lfHeight = -rt::RoundHalfEven(m_font.points * Twips().dpiY / 72.0);
    lf.lfWeight = m_font.weight;
    lf.lfItalic = m_font.italic;
    lf.lfUnderline = m_font.underline;
    lf.lfStrikeOut = m_font.strikethrough;
    lf.lfCharSet = static_cast<BYTE>(m_font.charset);
    lstrcpynW(lf.lfFaceName, m_font.name.c_str(), LF_FACESIZE);
    m_fontHandle = SharedFont(lf);
}

// --- Designer data -------------------------------------------------------------------------------

void iButton::ReadProperties(rt::PropertyBag& bag)
{
    // Stored as they are, without the effects of setting them: the first showing paints.
    FlushDrawing();
    m_backPicture = PictureOfText(bag.ReadString(L"BackPicture", L""));
    m_icon = PictureOfText(bag.ReadString(L"Icon", L""));
    m_enabled = bag.ReadBool(L"Enabled", true);
    if (HasWindow()) ::EnableWindow(hWnd(), m_enabled);
    m_backStyle = static_cast<short>(bag.ReadInt(L"cBackStyle", 1));
    m_caption = bag.ReadString(L"Caption", L"");
    m_style = bag.ReadInt(L"Style", 0);
    m_autoSize = bag.ReadBool(L"AutoSize", true);
    m_foreColor = static_cast<DWORD>(bag.ReadInt(L"cForeColor", static_cast<std::int32_t>(m_foreColor)));
    if (auto font = FontFromText(bag.ReadString(L"cFont", FontToText(m_font)))) m_font = *font;
    ApplyFont();
    m_drawMode = static_cast<short>(bag.ReadInt(L"cDrawMode", m_drawMode));
}

void iButton::WriteProperties(rt::PropertyBag& bag)
{
    const std::wstring none;
    bag.Write(L"BackPicture", PictureText(m_backPicture), none);
    bag.Write(L"Icon", PictureText(m_icon), none);
    bag.Write(L"Enabled", m_enabled, true);
    bag.Write(L"Style", m_style, std::int32_t{0});
    bag.Write(L"cBackStyle", std::int32_t{m_backStyle}, std::int32_t{1});
    bag.Write(L"Caption", m_caption, none);
    bag.Write(L"AutoSize", m_autoSize, true);
    bag.Write(L"cFont", FontToText(m_font));
    bag.Write(L"cDrawMode", std::int32_t{m_drawMode});
    bag.Write(L"cForeColor", static_cast<std::int32_t>(m_foreColor));
    m_changed.clear();
}

// --- State and painting -------------------------------------------------------------------------

bool iButton::IsMouseOver() const
{
    // A hidden button is under no pointer; asking where the pointer is costs a server round trip.
    POINT p;
    if (!HasWindow() || !::IsWindowVisible(hWnd()) || !::GetCursorPos(&p)) return false;
    return ::WindowFromPoint(p) == hWnd();
}

std::int32_t iButton::CurrentState() const
{
    return CurrentButtonState(m_enabled, m_pressed, IsMouseOver());
}

const rt::Picture* iButton::StateImage(std::int32_t state) const
{
    if (!m_imagesPresent) return nullptr;
    const int index = StateImageIndex(state, m_value, m_style);
    if (!m_stateImages || index < 0 || index >= static_cast<int>(m_stateImages->size())) return nullptr;
    return (*m_stateImages)[index].get();
}

void iButton::BuildStateImages()
{
    m_stateImages.reset();
    if (!m_backPicture) {
        m_imagesPresent = false;
    } else {
        const rt::Picture& strip = *m_backPicture;
        m_frame = StripFrameSize(strip.WidthHimetric(), strip.HeightHimetric(), m_style);
        m_stateImages = SharedStateImages(m_backPicture, m_style);
        if (m_autoSize && m_frame.width > 0 && m_frame.height > 0)
            Move(rt::kKeep, rt::kKeep, m_frame.width * kAutoSizeTwipsPerPixel, m_frame.height * kAutoSizeTwipsPerPixel);
        m_imagesPresent = true;
    }
    cMouseAction(CurrentState(), true);
}

void iButton::cMouseAction(std::int32_t cAction, bool vComplePaint)
{
    if (cAction == m_state && !vComplePaint) return;
    m_state = cAction;
    DrawButton(cAction);
}

SIZE iButton::TextSizeTwips(HDC dc) const
{
    SIZE size{0, 0};
    if (m_caption.empty()) return size;
    rt::SelectGuard font(dc, m_fontHandle->get());
    ::GetTextExtentPoint32W(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &size);
    const rt::TwipsScale scale = Twips();
    return {rt::RoundHalfEven(scale.ScaleXToTwips(size.cx)), rt::RoundHalfEven(scale.ScaleYToTwips(size.cy))};
}

void iButton::DrawButton(std::int32_t state)
{
    if (!HasWindow() || !hDC()) return;
    m_drawPending = true;
    m_drawState = state;
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void iButton::FlushDrawing()
{
    if (!std::exchange(m_drawPending, false)) return;
    Repaint(m_drawState);
}

void iButton::Repaint(std::int32_t state)
{
    HDC dc = hDC();
    if (!HasWindow() || !dc) return;
    Cls();
    DrawFace(dc);
    if (!m_caption.empty()) {
        const SIZE text = TextSizeTwips(dc);
        const int shift = m_icon ? IconShiftTwips(m_icon->WidthHimetric()) : 0;
        const ButtonCaptionPlacement at = PlaceCaption(Width(), Height(), text.cx, text.cy, shift);
        const int offset = PressedCaptionOffset(state);
        const rt::TwipsScale scale = Twips();
        rt::SelectGuard font(dc, m_fontHandle->get());
        ::SetTextColor(dc, rt::ResolveColor(m_foreColor));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetROP2(dc, m_drawMode);
        ::TextOutW(dc, scale.PixelsX(at.textX + offset), scale.PixelsY(at.textY + offset), m_caption.c_str(),
                   static_cast<int>(m_caption.size()));
    }
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void iButton::DrawFace(HDC dc)
{
    const rt::Picture* picture = m_locked ? StateImage(kStatePressed) : StateImage(m_state);
    if (!picture) return;
    const SIZE size = PixelSize();
    if (m_backStyle != 0) {
        DrawPicture(dc, *picture, 0, 0, size.cx, size.cy);
        if (m_icon) {
            const SIZE text = TextSizeTwips(dc);
            const ButtonCaptionPlacement at =
                PlaceCaption(Width(), Height(), text.cx, text.cy, IconShiftTwips(m_icon->WidthHimetric()));
            const rt::TwipsScale scale = Twips();
            DrawPicture(dc, *m_icon, scale.PixelsX(at.iconX), scale.PixelsY(at.iconY), m_icon->WidthPixels(),
                        m_icon->HeightPixels());
        }
        return;
    }
    if (m_icon) return;
    DrawPicture(dc, *picture, 0, 0, size.cx, size.cy);
    // With AutoSize the frame is the control's size and serves as the mask itself; otherwise the
    // stretched face on the surface does.
    ApplyMask(m_autoSize ? ReadPixels(picture->handle()) : ReadPixels(dc, size.cx, size.cy));
}

void iButton::ApplyMask(const PixelImage& mask)
{
    rt::Region region = MaskRegion(mask, kMaskColor);
    // The window owns the region once it is set.
    if (::SetWindowRgn(hWnd(), region.get(), TRUE)) region.release();
}

void iButton::DrawFocus()
{
    FlushDrawing();  // the rectangle inverts what the repaint leaves
    if (!HasWindow() || !hDC()) return;
    const rt::TwipsScale scale = Twips();
    const FocusBox box = FocusRectangle(Width(), Height(), scale.TwipsPerPixelX(), scale.TwipsPerPixelY());
    const RECT r{box.left, box.top, box.right, box.bottom};
    ::DrawFocusRect(hDC(), &r);
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void iButton::ShowFirstTime()
{
    if (m_shown) return;
    m_shown = true;
    BuildStateImages();
}

void iButton::OnResize()
{
    if (m_autoSize && m_backPicture && !m_inResize) {
        const FrameSize frame = StripFrameSize(m_backPicture->WidthHimetric(), m_backPicture->HeightHimetric(), m_style);
        if (frame.width > 0 && frame.height > 0) {
            m_inResize = true;
            Move(rt::kKeep, rt::kKeep, frame.width * kAutoSizeTwipsPerPixel, frame.height * kAutoSizeTwipsPerPixel);
            m_inResize = false;
        }
    }
    cMouseAction(CurrentState(), true);
}

// --- Mouse and keyboard --------------------------------------------------------------------------

// Every handler below may destroy the button (a form unloading from its own button's click, as
// the exit box does): each event goes through RaiseEvent, and a false return ends the routine
// before it touches a member again.

void iButton::OnWindowDestroyed()
{
    // Nothing is left for the pointer watch to repaint.
    m_timer1.Stop();
}

void iButton::OnTimer1()
{
    if (!HasWindow()) {
        m_timer1.Stop();
        return;
    }
    if (IsMouseOver()) {
        if (m_pressed) cMouseAction(kStatePressed, false);
        return;
    }
    if (!m_pressed) {
        m_timer1.Stop();
        m_hover = false;
        if (!rt::RaiseEvent(Life(), MouseOut) || !HasWindow()) return;
    }
    cMouseAction(kStateNormal, false);
}

void iButton::OnMouseMoveMessage(const rt::MouseEvent& e)
{
    short button = static_cast<short>(e.button), shift = static_cast<short>(e.shift);
    float x = static_cast<float>(e.x), y = static_cast<float>(e.y);
    if (!rt::RaiseEvent(Life(), MouseMove, button, shift, x, y)) return;
    if (!HasWindow() || !IsMouseOver()) return;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    if (m_hover) return;
    cMouseAction(kStateHover, false);
    m_hover = true;
    m_timer1.Start(50);
    rt::RaiseEvent(Life(), MouseOver);
}

void iButton::OnMouseDownMessage(const rt::MouseEvent& e)
{
    // The control takes the focus and keeps the mouse until the buttons are released, so that a
    // release outside still reaches it. Taking the focus runs other windows' code.
    const rt::Liveness::Watch watch = Life().Observe();
    if (::GetFocus() != hWnd()) ::SetFocus(hWnd());
    if (!watch.Alive() || !HasWindow()) return;
    ::SetCapture(hWnd());
    m_clickArmed = true;
    short button = static_cast<short>(e.button), shift = static_cast<short>(e.shift);
    float x = static_cast<float>(e.x), y = static_cast<float>(e.y);
    if (!rt::RaiseEvent(Life(), MouseDown, button, shift, x, y)) return;
    if (!HasWindow()) return;
    m_lastButton = button;
    if (button == 1) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        cMouseAction(kStatePressed, false);
        m_pressed = true;
    }
}

void iButton::OnMouseUpMessage(const rt::MouseEvent& e, WPARAM keys, LPARAM lParam)
{
    short button = static_cast<short>(e.button), shift = static_cast<short>(e.shift);
    float x = static_cast<float>(e.x), y = static_cast<float>(e.y);
    if (!rt::RaiseEvent(Life(), MouseUp, button, shift, x, y)) return;
    if (!HasWindow()) return;
    if (button == 1) {
        if (IsMouseOver()) {
            if (m_style == 1) m_value = !m_value;
            cMouseAction(kStateHover, true);
        } else {
            cMouseAction(kStateNormal, true);
        }
        m_pressed = false;
    }
    RECT client;
    ::GetClientRect(hWnd(), &client);
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const bool click = m_clickArmed && ::PtInRect(&client, at);
    m_clickArmed = false;
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == hWnd()) ::ReleaseCapture();
    if (click) OnClickNotification();
}

void iButton::OnClickNotification()
{
    if (m_lastButton != 1) return;
    cMouseAction(CurrentState(), true);
    rt::RaiseEvent(Life(), Click);
}

void iButton::OnDoubleClick()
{
    ::SetCapture(hWnd());
    m_clickArmed = false;
    if (m_lastButton == 1) cMouseAction(kStatePressed, false);
    rt::RaiseEvent(Life(), DBClick);
}

void iButton::OnKeyDownMessage(WPARAM key)
{
    short keyCode = static_cast<short>(key), shift = static_cast<short>(rt::ShiftState());
    if (!rt::RaiseEvent(Life(), KeyDown, keyCode, shift)) return;
    if (!HasWindow()) return;
    if (keyCode == VK_RETURN) {
        if (m_style == 1) m_value = !m_value;
        cMouseAction(CurrentState(), true);
        if (!m_hover) DrawFocus();
        rt::RaiseEvent(Life(), Click);
    } else if (keyCode == VK_SPACE) {
        cMouseAction(kStatePressed, true);
        if (!m_hover) DrawFocus();
    }
}

void iButton::OnKeyUpMessage(WPARAM key)
{
    short keyCode = static_cast<short>(key), shift = static_cast<short>(rt::ShiftState());
    if (!rt::RaiseEvent(Life(), KeyUP, keyCode, shift)) return;
    if (!HasWindow()) return;
    if (keyCode == VK_SPACE) {
        if (m_style == 1) m_value = !m_value;
        cMouseAction(CurrentState(), true);
        if (!m_hover) DrawFocus();
        rt::RaiseEvent(Life(), Click);
    }
}

LRESULT iButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT answer = 0; m_access.HandleMessage(hWnd(), msg, wParam, lParam, answer)) return answer;
    const rt::MouseEvent mouse = rt::TranslateMouse(msg, wParam, lParam, Twips());
    switch (mouse.action) {
    case rt::MouseAction::Move: OnMouseMoveMessage(mouse); return 0;
    case rt::MouseAction::Down: OnMouseDownMessage(mouse); return 0;
    case rt::MouseAction::Up: OnMouseUpMessage(mouse, wParam, lParam); return 0;
    case rt::MouseAction::DoubleClick:
        // Only the left button has a double click of its own; a second right or middle press
        // is a press like the first.
        if (mouse.button == 1)
            OnDoubleClick();
        else
            OnMouseDownMessage(mouse);
        return 0;
    case rt::MouseAction::None: break;
    }
    switch (msg) {
    case WM_SHOWWINDOW:
        if (wParam) ShowFirstTime();
        break;
    case WM_PAINT:
        ShowFirstTime();
        FlushDrawing();
        break;
    case WM_ERASEBKGND:
        FlushDrawing();
        break;
    case WM_SETCURSOR:
        // The mouse handlers choose the cursor (hand over the button, arrow while pressing).
        if (LOWORD(lParam) == HTCLIENT) return TRUE;
        break;
    case WM_KEYDOWN: OnKeyDownMessage(wParam); return 0;
    case WM_KEYUP: OnKeyUpMessage(wParam); return 0;
    case WM_CHAR: {
        short keyAscii = static_cast<short>(wParam);
        rt::RaiseEvent(Life(), KeyPress, keyAscii);
        return 0;
    }
    case WM_SETFOCUS:
        cMouseAction(CurrentState(), true);
        if (!m_pressed) DrawFocus();
        return 0;
    case WM_KILLFOCUS:
        cMouseAction(CurrentState(), true);
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse mid-press (a menu, a message box): the press is over.
        if (reinterpret_cast<HWND>(lParam) != hWnd() && m_pressed) {
            m_pressed = false;
            m_clickArmed = false;
            cMouseAction(CurrentState(), true);
        }
        return 0;
    }
    return Control::HandleMessage(msg, wParam, lParam);
}

}  // namespace corvane
