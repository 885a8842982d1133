#pragma once
// GDI+ through its flat API, with owners for the session and for images decoded from memory.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstddef>
#include <span>

namespace rt {

// GdiplusStartup (version 1) / GdiplusShutdown.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    explicit operator bool() const { return m_token != 0; }
    ULONG_PTR token() const { return m_token; }

private:
    ULONG_PTR m_token = 0;
};

// An image decoded from a copy of some bytes. GDI+ may read its stream lazily, so the memory
// block and the stream live exactly as long as the image.
class StreamImage {
public:
    StreamImage() = default;
    explicit StreamImage(std::span<const std::byte> bytes);
    ~StreamImage();
    StreamImage(const StreamImage&) = delete;
    StreamImage& operator=(const StreamImage&) = delete;

    Gdiplus::GpImage* get() const { return m_image; }
    explicit operator bool() const { return m_image != nullptr; }
    UINT Width() const;
    UINT Height() const;
    // Disposes the image now (before the session that made it ends).
    void Reset();

private:
    HGLOBAL m_block = nullptr;
    IStream* m_stream = nullptr;
    Gdiplus::GpImage* m_image = nullptr;
};

// A GDI+ graphics object on a device context.
class GdipGraphics {
public:
    explicit GdipGraphics(HDC dc);
    ~GdipGraphics();
    GdipGraphics(const GdipGraphics&) = delete;
    GdipGraphics& operator=(const GdipGraphics&) = delete;
    Gdiplus::GpGraphics* get() const { return m_graphics; }
    void Reset();

private:
    Gdiplus::GpGraphics* m_graphics = nullptr;
};

}  // namespace rt
