#pragma once
// Owners for the platform's handles. An owner is move-only and releases its handle with the one
// function that matches how it was obtained; a plain handle type means "borrowed".

#include <windows.h>

#include <utility>

namespace rt {

template <typename Traits>
class UniqueHandle {
public:
    using handle_type = typename Traits::handle_type;

    UniqueHandle() = default;
    explicit UniqueHandle(handle_type h) : m_h(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    handle_type get() const { return m_h; }
    explicit operator bool() const { return Traits::IsValid(m_h); }

    handle_type release() { return std::exchange(m_h, Traits::Invalid()); }
    void reset(handle_type h = Traits::Invalid())
    {
        if (Traits::IsValid(m_h)) Traits::Close(m_h);
        m_h = h;
    }

private:
    handle_type m_h = Traits::Invalid();
};

template <typename H, auto CloseFn>
struct NullInvalidTraits {
    using handle_type = H;
    static constexpr H Invalid() { return nullptr; }
    static bool IsValid(H h) { return h != nullptr; }
    static void Close(H h) { CloseFn(h); }
};

inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }

struct KernelHandleTraits {
    using handle_type = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

using Bitmap = UniqueHandle<NullInvalidTraits<HBITMAP, DeleteGdiObject>>;
using Font = UniqueHandle<NullInvalidTraits<HFONT, DeleteGdiObject>>;
using Brush = UniqueHandle<NullInvalidTraits<HBRUSH, DeleteGdiObject>>;
using Pen = UniqueHandle<NullInvalidTraits<HPEN, DeleteGdiObject>>;
using Region = UniqueHandle<NullInvalidTraits<HRGN, DeleteGdiObject>>;
using Palette = UniqueHandle<NullInvalidTraits<HPALETTE, DeleteGdiObject>>;
using MemoryDC = UniqueHandle<NullInvalidTraits<HDC, ::DeleteDC>>;
using Icon = UniqueHandle<NullInvalidTraits<HICON, ::DestroyIcon>>;
using Menu = UniqueHandle<NullInvalidTraits<HMENU, ::DestroyMenu>>;
using Hook = UniqueHandle<NullInvalidTraits<HHOOK, ::UnhookWindowsHookEx>>;
using GlobalMemory = UniqueHandle<NullInvalidTraits<HGLOBAL, ::GlobalFree>>;
using Module = UniqueHandle<NullInvalidTraits<HMODULE, ::FreeLibrary>>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// GetDC/ReleaseDC for the lifetime of a scope.
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~ClientDC() { if (m_dc) ::ReleaseDC(m_hwnd, m_dc); }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return m_dc; }
    const RECT& area() const { return m_ps.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc{};
};

// Selects an object into a DC and puts the previous one back at scope end. Declare the owned
// object before its guard so that it is deselected before it is deleted.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() { if (m_old) ::SelectObject(m_dc, m_old); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A 32-bit top-down DIB section (alpha channel kept); `bits` receives its pixels.
HBITMAP CreateDib32(HDC dc, int width, int height, void** bits);
// The header of 32-bit pixels in rows from the top, as CreateDib32, GetDIBits and SetDIBits take it.
BITMAPINFO TopDownDib32(int width, int height);

// A memory DC with a bitmap of its own selected into it: an off-screen surface. The bitmap is
// selected out again before both are deleted.
class OffscreenSurface {
public:
    OffscreenSurface() = default;
    OffscreenSurface(HDC compatibleWith, int width, int height);
    OffscreenSurface(OffscreenSurface&& other) noexcept;
    OffscreenSurface& operator=(OffscreenSurface&& other) noexcept;
    ~OffscreenSurface();

    HDC dc() const { return m_dc.get(); }
    HBITMAP bitmap() const { return m_bitmap.get(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    explicit operator bool() const { return m_dc && m_bitmap; }

private:
    void Release();

    MemoryDC m_dc;
    Bitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace rt
