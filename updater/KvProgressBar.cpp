#include "updater/KvProgressBar.h"

#include <algorithm>

#include "runtime/DpiScale.h"
#include "runtime/Handles.h"
#include "runtime/HighContrast.h"
#include "runtime/Screen.h"

namespace corvane {

KvProgressBar::KvProgressBar(HMODULE module) : m_module(module)
{
    UseDpi(rt::Screen::Scale().dpiX);
}

void KvProgressBar::UseDpi(int dpi)
{
    m_skin = rt::LoadResPictureFor(kSkinId, dpi, m_module, 0xFF00FF, kProgressSkinPieces);
    m_layout = ProgressSkinAt(dpi);
}

void KvProgressBar::OnDpiChanged()
{
    // The window moved to a monitor of another dpi and the bar is already its new height there.
    UseDpi(rt::Screen::DpiFor(hWnd()));
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void KvProgressBar::Apply(bool accepted, const wchar_t* name)
{
    if (std::find(m_changed.begin(), m_changed.end(), name) == m_changed.end()) m_changed.emplace_back(name);
    if (accepted && HasWindow()) {
        rt::AccessibleHost::Notify(hWnd(), rt::acc::Event::ValueChange);
        ::InvalidateRect(hWnd(), nullptr, FALSE);
        ::UpdateWindow(hWnd());
    }
}

void KvProgressBar::SetMin(std::int32_t v)
{
    Apply(m_range.SetMin(v), L"Min");
}

void KvProgressBar::SetMax(std::int32_t v)
{
    Apply(m_range.SetMax(v), L"Max");
}

void KvProgressBar::SetValue(std::int32_t v)
{
    Apply(m_range.SetValue(v), L"Value");
}

void KvProgressBar::PaintBar(HDC dc, int width) const
{
    if (rt::HighContrastOn()) {
        // The skin's picture is left out: solid system colours, as the user's scheme asks.
        const rt::ink::BarInk ink = rt::ink::ProgressInk();
        const int done = ProgressFill(width, m_range, m_layout.line);
        rt::Brush doneBrush(::CreateSolidBrush(rt::Resolve(ink.done)));
        rt::Brush restBrush(::CreateSolidBrush(rt::Resolve(ink.rest)));
        const RECT doneRect{0, 0, done, m_layout.height}, restRect{done, 0, width, m_layout.height};
        ::FillRect(dc, &doneRect, doneBrush.get());
        ::FillRect(dc, &restRect, restBrush.get());
        return;
    }
    if (!m_skin) return;
    rt::MemoryDC skinDC(::CreateCompatibleDC(dc));
    rt::SelectGuard select(skinDC.get(), m_skin->handle());
    ::SetStretchBltMode(dc, COLORONCOLOR);
    const int height = m_layout.height;
    for (const SkinCopy& c : ProgressPaintPlan(width, m_range, m_layout)) {
        if (c.dstWidth <= 0) continue;
        if (c.dstWidth == c.srcWidth)
            ::BitBlt(dc, c.dstX, 0, c.dstWidth, height, skinDC.get(), c.srcX, 0, SRCCOPY);
        else
            ::StretchBlt(dc, c.dstX, 0, c.dstWidth, height, skinDC.get(), c.srcX, 0, c.srcWidth, height, SRCCOPY);
    }
}

void KvProgressBar::OnPaint(HDC dc, const RECT&)
{
    PaintBar(dc, PixelSize().cx);
}

void KvProgressBar::ReadProperties(rt::PropertyBag& bag)
{
    const std::int32_t min = bag.ReadInt(L"Min", 0);
    const std::int32_t max = bag.ReadInt(L"Max", 100);
    const std::int32_t value = bag.ReadInt(L"Value", 0);
    // Max first, so that a stored Min above the initial Max is accepted.
    m_range = ProgressRange();
    m_range.SetMax(max);
    m_range.SetMin(min);
    m_range.SetValue(value);
    if (HasWindow()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}

LRESULT KvProgressBar::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT answer = 0; m_access.HandleMessage(hWnd(), msg, wParam, lParam, answer)) return answer;
    if (msg == WM_SYSCOLORCHANGE) ::InvalidateRect(hWnd(), nullptr, FALSE);
    return Control::HandleMessage(msg, wParam, lParam);
}

void KvProgressBar::WriteProperties(rt::PropertyBag& bag)
{
    bag.Write(L"Min", m_range.Min(), std::int32_t{0});
    bag.Write(L"Max", m_range.Max(), std::int32_t{100});
    bag.Write(L"Value", m_range.Value(), std::int32_t{0});
    m_changed.clear();
}

}  // namespace corvane
