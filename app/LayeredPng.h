#pragma once
// Paints a layered window from a PNG resource with its per-pixel transparency: the splash and the
// login background are nothing but their pictures.

#include <windows.h>

#include <memory>
#include <optional>

#include "runtime/GdiPlus.h"
#include "runtime/Handles.h"

namespace corvane {

// Decodes the custom resource (id, type) holding a PNG file; nullptr when it is missing.
std::unique_ptr<rt::StreamImage> LoadPngResource(int id, const wchar_t* type);

class LayeredPngPainter {
public:
    LayeredPngPainter() = default;
    ~LayeredPngPainter();
    LayeredPngPainter(const LayeredPngPainter&) = delete;
    LayeredPngPainter& operator=(const LayeredPngPainter&) = delete;

    // Starts GDI+, composes the picture of PNG resource `id` in a memory DC and hands it to
    // UpdateLayeredWindow with per-pixel alpha. The window keeps its position and takes the
    // picture's size. Failures leave the window without content.
    void Paint(HWND layeredWindow, int id);
    // Releases everything Paint acquired, in reverse order.
    void Release();

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    // Copies the image into `bits`, top-down 32-bit pixels of its size, premultiplied; false when
    // GDI+ cannot hand it out so.
    bool CopyPremultiplied(void* bits) const;

    std::optional<rt::GdiplusSession> m_session;
    std::unique_ptr<rt::StreamImage> m_image;
    rt::MemoryDC m_memoryDC;
    HGDIOBJ m_oldBitmap = nullptr;
    rt::Bitmap m_bitmap;
    std::unique_ptr<rt::GdipGraphics> m_graphics;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace corvane
