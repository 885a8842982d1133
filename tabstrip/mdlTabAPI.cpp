#include "tabstrip/mdlTabAPI.h"

#include "tabstrip/TabError.h"
#include "tabstrip/TabPaintPlan.h"

namespace corvane::mdlTabAPI {

namespace {

[[noreturn]] void Fail(const wchar_t* text)
{
    throw TabError(kErrPlatformCall, text);
}

// GetDC(0) for one call.
class ScreenDC {
public:
    ScreenDC() : m_dc(::GetDC(nullptr)) {}
    ~ScreenDC()
    {
        if (m_dc) ::ReleaseDC(nullptr, m_dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

}  // namespace

MemoryDC::MemoryDC(rt::MemoryDC dc, rt::Bitmap bitmap, int width, int height, void* bits)
    : m_dc(std::move(dc)), m_bitmap(std::move(bitmap)), m_width(width), m_height(height), m_bits(bits)
{
    if (m_dc && m_bitmap) m_previous = ::SelectObject(m_dc.get(), m_bitmap.get());
}

MemoryDC::MemoryDC(MemoryDC&& other) noexcept
    : m_dc(std::move(other.m_dc)),
      m_bitmap(std::move(other.m_bitmap)),
      m_previous(std::exchange(other.m_previous, nullptr)),
      m_width(other.m_width),
      m_height(other.m_height),
      m_bits(std::exchange(other.m_bits, nullptr))
{
}

MemoryDC& MemoryDC::operator=(MemoryDC&& other) noexcept
{
    if (this != &other) {
        DeleteMemoryDC();
        m_dc = std::move(other.m_dc);
        m_bitmap = std::move(other.m_bitmap);
        m_previous = std::exchange(other.m_previous, nullptr);
        m_width = other.m_width;
        m_height = other.m_height;
        m_bits = std::exchange(other.m_bits, nullptr);
    }
    return *this;
}

MemoryDC::~MemoryDC()
{
    DeleteMemoryDC();
}

void MemoryDC::DeleteMemoryDC()
{
    if (m_dc && m_previous) ::SelectObject(m_dc.get(), m_previous);
    m_previous = nullptr;
    m_dc.reset();
    m_bitmap.reset();
    m_bits = nullptr;
}

void ModifyStyle(HWND hwnd, int index, DWORD remove, DWORD add, UINT extraFlags)
{
    const DWORD old = static_cast<DWORD>(::GetWindowLongW(hwnd, index));
    const DWORD style = (old & ~remove) | add;
    if (style == old) return;
    ::SetWindowLongW(hwnd, index, static_cast<LONG>(style));
    if (extraFlags)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       extraFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

MemoryDC CreateMemoryDC(int width, int height)
{
    ScreenDC screen;
    if (!screen.get()) Fail(L"GetDC调用失败");
    rt::Bitmap bitmap(width < 0 || height < 0 ? nullptr : ::CreateCompatibleBitmap(screen.get(), width, height));
    if (!bitmap) Fail(L"CreateCompatibleBitmap调用失败");
    rt::MemoryDC dc(::CreateCompatibleDC(screen.get()));
    if (!dc) Fail(L"CreateCompatibleDC调用失败");
    return MemoryDC(std::move(dc), std::move(bitmap), width, height);
}

MemoryDC CreateDibDC(int width, int height)
{
    ScreenDC screen;
    if (!screen.get()) Fail(L"GetDC调用失败");
    void* bits = nullptr;
    rt::Bitmap bitmap(width <= 0 || height <= 0 ? nullptr : rt::CreateDib32(screen.get(), width, height, &bits));
    if (!bitmap || !bits) Fail(L"CreateCompatibleBitmap调用失败");
    rt::MemoryDC dc(::CreateCompatibleDC(screen.get()));
    if (!dc) Fail(L"CreateCompatibleDC调用失败");
    return MemoryDC(std::move(dc), std::move(bitmap), width, height, bits);
}

MemoryDC CreateBitmapDC(rt::Bitmap bitmap)
{
    ScreenDC screen;
    if (!screen.get()) Fail(L"GetDC调用失败");
    rt::MemoryDC dc(::CreateCompatibleDC(screen.get()));
    if (!dc) Fail(L"CreateCompatibleDC调用失败");
    BITMAP info{};
    ::GetObjectW(bitmap.get(), sizeof info, &info);
    return MemoryDC(std::move(dc), std::move(bitmap), info.bmWidth, info.bmHeight);
}

int DrawSkin(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, int left,
             int top, int right, int bottom, std::optional<COLORREF> transparent)
{
    const auto parts = NinePartBlits(width, height, PixelRect{sx, sy, sw, sh}, left, top, right, bottom);
    if (parts.empty()) return 0;
    MemoryDC buffer = CreateMemoryDC(width, height);
    ::SetStretchBltMode(buffer.dc(), HALFTONE);
    ::SetBrushOrgEx(buffer.dc(), 0, 0, nullptr);
    for (const SkinBlit& p : parts) {
        if (p.kind == BlitKind::Copy)
            ::BitBlt(buffer.dc(), p.dest.x, p.dest.y, p.dest.w, p.dest.h, source, p.source.x, p.source.y, SRCCOPY);
        else
            ::StretchBlt(buffer.dc(), p.dest.x, p.dest.y, p.dest.w, p.dest.h, source, p.source.x, p.source.y,
                         p.source.w, p.source.h, SRCCOPY);
    }
    if (!transparent) return ::BitBlt(dest, x, y, width, height, buffer.dc(), 0, 0, SRCCOPY);
    return ::TransparentBlt(dest, x, y, width, height, buffer.dc(), 0, 0, width, height, *transparent);
}

int DrawTransparent(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, COLORREF transparent)
{
    return ::TransparentBlt(dest, x, y, width, height, source, sx, sy, width, height, transparent);
}

int DrawTextBox(HDC dc, const std::wstring& text, int count, int x, int y, int width, int height, UINT format)
{
    RECT box;
    ::SetRect(&box, x, y, x + width, y + height);
    return ::DrawTextW(dc, text.c_str(), count, &box, format);
}

}  // namespace corvane::mdlTabAPI
