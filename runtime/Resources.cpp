#include "runtime/Resources.h"

#include <string>

#include "runtime/Screen.h"

namespace rt {

std::span<const std::byte> CustomResource(int id, std::wstring_view type, HMODULE module)
{
    const std::wstring typeName(type);
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), typeName.c_str());
    if (!res) return {};
    HGLOBAL loaded = ::LoadResource(module, res);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::byte*>(data), ::SizeofResource(module, res)};
}

Picture::Picture(Bitmap bitmap) : m_bitmap(std::move(bitmap))
{
    BITMAP info{};
    if (m_bitmap && ::GetObjectW(m_bitmap.get(), sizeof(info), &info)) {
        m_width = info.bmWidth;
        m_height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

long Picture::WidthHimetric() const { return PixelsToHimetric(m_width, Screen::Scale().dpiX); }
long Picture::HeightHimetric() const { return PixelsToHimetric(m_height, Screen::Scale().dpiY); }

PictureRef LoadResPicture(int id, HMODULE module)
{
    HINSTANCE instance = module ? module : ::GetModuleHandleW(nullptr);
    // A device-dependent bitmap, as the platform's own picture loading gives it, so that it can
    // be selected into any screen-compatible DC.
    auto bitmap = static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) return nullptr;
    return std::make_shared<const Picture>(Bitmap(bitmap));
}

}  // namespace rt
