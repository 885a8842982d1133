#include "runtime/PictureBox.h"

#include "runtime/MouseEvents.h"

namespace rt {

PictureBox::PictureBox()
{
    SetBackColor(0x8000000F);
}

void PictureBox::SetPicture(PictureRef picture)
{
    m_picture = std::move(picture);
    if (HasWindow()) ::InvalidateRect(hWnd(), nullptr, TRUE);
}

void PictureBox::OnResize()
{
    if (Resize) Resize();
}

void PictureBox::OnPaint(HDC dc, const RECT&)
{
    if (!m_picture || !m_picture->handle()) return;
    MemoryDC source(::CreateCompatibleDC(dc));
    SelectGuard select(source.get(), m_picture->handle());
    ::BitBlt(dc, 0, 0, m_picture->WidthPixels(), m_picture->HeightPixels(), source.get(), 0, 0, SRCCOPY);
}

LRESULT PictureBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    MouseEvent e = TranslateMouse(msg, wParam, lParam, Twips());
    const MouseHandler* handler = nullptr;
    switch (e.action) {
    case MouseAction::Down: handler = &MouseDown; break;
    case MouseAction::Up: handler = &MouseUp; break;
    case MouseAction::Move: handler = &MouseMove; break;
    default: break;
    }
    if (handler) {
        if (*handler) (*handler)(e.button, e.shift, e.x, e.y);
        return 0;
    }
    return Control::HandleMessage(msg, wParam, lParam);
}

}  // namespace rt
