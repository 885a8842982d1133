#pragma once
// Resources of the executable: custom resources as bytes, bitmap resources as pictures.

#include <windows.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "runtime/Handles.h"

namespace rt {

// The bytes of the custom resource (id, type) of a module (default: the executable); empty when
// there is none. The bytes stay valid as long as the module is loaded.
std::span<const std::byte> CustomResource(int id, std::wstring_view type, HMODULE module = nullptr);

// A bitmap picture: an owned bitmap with its size in pixels and in HIMETRIC, the unit picture
// objects report their size in.
class Picture {
public:
    explicit Picture(Bitmap bitmap);

    HBITMAP handle() const { return m_bitmap.get(); }
    int WidthPixels() const { return m_width; }
    int HeightPixels() const { return m_height; }
    long WidthHimetric() const;
    long HeightHimetric() const;

private:
    Bitmap m_bitmap;
    int m_width = 0;
    int m_height = 0;
};

using PictureRef = std::shared_ptr<const Picture>;

// Bitmap resource `id` of a module as a picture; nullptr when it does not exist.
PictureRef LoadResPicture(int id, HMODULE module = nullptr);

}  // namespace rt
