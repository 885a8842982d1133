#pragma once
// The device-context and blitting routines of the tab strip's painting.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/Handles.h"

namespace corvane::mdlTabAPI {

// A memory device context owning the bitmap selected into it. The bitmap is selected out again
// before both are deleted.
class MemoryDC {
public:
    MemoryDC() = default;
    MemoryDC(rt::MemoryDC dc, rt::Bitmap bitmap, int width, int height, void* bits = nullptr);
    MemoryDC(MemoryDC&& other) noexcept;
    MemoryDC& operator=(MemoryDC&& other) noexcept;
    ~MemoryDC();

    HDC dc() const { return m_dc.get(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The pixels of a buffer made by CreateDibDC (top row first, 0x00RRGGBB); nullptr otherwise.
    std::uint32_t* bits() const { return static_cast<std::uint32_t*>(m_bits); }
    explicit operator bool() const { return static_cast<bool>(m_dc); }

private:
    void DeleteMemoryDC();

    rt::MemoryDC m_dc;
    rt::Bitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
    int m_width = 0;
    int m_height = 0;
    void* m_bits = nullptr;
};

// Reads the style with index `index`; when removing `remove` and adding `add` changes it, writes
// it and, with `extraFlags`, applies it with SetWindowPos.
void ModifyStyle(HWND hwnd, int index, DWORD remove, DWORD add, UINT extraFlags);

// A screen-compatible buffer of width x height. Throws TabError with the text of the call that
// failed ("GetDC调用失败", "CreateCompatibleBitmap调用失败", "CreateCompatibleDC调用失败").
MemoryDC CreateMemoryDC(int width, int height);
// Like CreateMemoryDC, with a 32-bit bitmap whose pixels the program can reach (bits()).
MemoryDC CreateDibDC(int width, int height);
// A memory context holding `bitmap` (which it owns from now on).
MemoryDC CreateBitmapDC(rt::Bitmap bitmap);

// Nine-part stretch of the source rectangle to (x, y, width, height) with the given unstretched
// borders; the transparent colour (when given) is left out. Returns the final blit's result, 0
// when nothing was drawn (a size of 0 or less).
int DrawSkin(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, int left,
             int top, int right, int bottom, std::optional<COLORREF> transparent = std::nullopt);
int DrawTransparent(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, COLORREF transparent);
int DrawTextBox(HDC dc, const std::wstring& text, int count, int x, int y, int width, int height, UINT format);

}  // namespace corvane::mdlTabAPI
