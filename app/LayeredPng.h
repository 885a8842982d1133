#pragma once
// Paints a layered window from a PNG resource with its per-pixel transparency: the splash and the
// login background are nothing but their pictures.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "runtime/GdiPlus.h"
#include "runtime/Handles.h"

namespace corvane {

// Decodes the custom resource (id, type) holding a PNG file; nullptr when it is missing.
std::unique_ptr<rt::StreamImage> LoadPngResource(int id, const wchar_t* type);

// A PNG resource's picture as UpdateLayeredWindow takes it: a 32-bit top-down DIB section of
// premultiplied pixels at the size the window shows it.
struct DecodedPng {
    rt::Bitmap bitmap;
    std::uint32_t* bits = nullptr;  // the section's pixels, while `bitmap` lives
    int width = 0;
    int height = 0;

    explicit operator bool() const { return bitmap && bits; }
    std::span<const std::uint32_t> Pixels() const
    {
        if (!*this) return {};
        return {bits, static_cast<std::size_t>(width) * static_cast<std::size_t>(height)};
    }
};

// The picture of PNG resource `id` (the 100 % design) for a window of `dpi`: dpi / 96 times its
// design size, the PNG drawn for that scale pixel for pixel at 96, 120, 144, 168 and 192 dpi,
// shrunk smoothly from the next larger one between them. Runs on any thread while GDI+ is
// started; empty when the resource is missing or cannot be decoded.
DecodedPng DecodePngAt(int id, int dpi);

class LayeredPngPainter {
public:
    LayeredPngPainter() = default;
    ~LayeredPngPainter();
    LayeredPngPainter(const LayeredPngPainter&) = delete;
    LayeredPngPainter& operator=(const LayeredPngPainter&) = delete;

    // Hands the picture of PNG resource `id` at `dpi` (the screen's when none is given; decoded
    // ahead when the start-up's prefetch has it) to UpdateLayeredWindow with per-pixel alpha.
    // The window keeps its position and takes the picture's size. The window keeps a surface of
    // its own, so nothing of the picture is held afterwards: painting again (at a new DPI, say)
    // decodes again. Failures leave the window without content.
    void Paint(HWND layeredWindow, int id);
    void Paint(HWND layeredWindow, int id, int dpi);
    // Forgets the size shown.
    void Release();

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width = 0;
    int m_height = 0;
};

}  // namespace corvane
