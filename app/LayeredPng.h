#pragma once
// Paints a layered window from a PNG resource with its per-pixel transparency: the splash and the
// login background are nothing but their pictures.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/GdiPlus.h"
#include "runtime/Handles.h"

namespace corvane {

// Decodes the custom resource (id, type) holding a PNG file; nullptr when it is missing.
std::unique_ptr<rt::StreamImage> LoadPngResource(int id, const wchar_t* type);

// A PNG resource decoded, with its pixels as UpdateLayeredWindow takes them.
struct DecodedPng {
    std::unique_ptr<rt::StreamImage> image;
    // Top-down rows of premultiplied 32-bit pixels; empty when GDI+ could not hand them out so.
    std::vector<std::uint32_t> premultiplied;
    int width = 0;
    int height = 0;
};

// Decodes PNG resource `id` on any thread while GDI+ is started; no image when it is missing.
DecodedPng DecodePng(int id);

class LayeredPngPainter {
public:
    LayeredPngPainter() = default;
    ~LayeredPngPainter();
    LayeredPngPainter(const LayeredPngPainter&) = delete;
    LayeredPngPainter& operator=(const LayeredPngPainter&) = delete;

    // Starts GDI+, composes the picture of PNG resource `id` (decoded ahead when the start-up's
    // prefetch has it) in a memory DC and hands it to UpdateLayeredWindow with per-pixel alpha.
    // The window keeps its position and takes the picture's size. Failures leave the window
    // without content. The picture takes dpi / 96 times its design size (the screen's dpi when
    // none is given): the PNG drawn for that scale pixel for pixel at 96, 120, 144, 168 and 192
    // dpi, shrunk smoothly from the next larger one between them.
    void Paint(HWND layeredWindow, int id);
    void Paint(HWND layeredWindow, int id, int dpi);
    // Releases everything Paint acquired, in reverse order.
    void Release();

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
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
