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
// objects report their size in. A picture made for a screen of `dpi` dots per inch reports the
// HIMETRIC size of its pixels there, so one scaled for 144 dpi measures what the 96-dpi original
// measures at 96 dpi.
class Picture {
public:
    explicit Picture(Bitmap bitmap, int dpi = 0);  // 0: the screen's

    HBITMAP handle() const { return m_bitmap.get(); }
    int WidthPixels() const { return m_width; }
    int HeightPixels() const { return m_height; }
    long WidthHimetric() const;
    long HeightHimetric() const;

private:
    Bitmap m_bitmap;
    int m_width = 0;
    int m_height = 0;
    int m_dpi = 96;
};

using PictureRef = std::shared_ptr<const Picture>;

// Bitmap resource `id` of a module as a picture for the screen's dpi; nullptr when it does not
// exist.
PictureRef LoadResPicture(int id, HMODULE module = nullptr, std::span<const int> pieces = {});

// The one place pictures are made for a dpi: bitmap resource `id` at dpi / 96 times its size.
// At the dpi of a drawn set (96, 120, 144, 168, 192) the picture drawn for it, 1:1; between them the
// set drawn for the next larger scale shrunk smoothly, piece by piece for a strip or skin packed of
// `pieces` (their 100 % widths; empty: one piece), so that every piece is ScalePixels of its design
// width and frames stay whole; the design picture resampled when a set is missing. Pixels of the
// colour `keyColour` (the skins' transparent colour, a 0x00BBGGRR reference; -1 for none) stay
// exactly that colour and no neighbour takes a blend of it, so regions cut from the scaled picture
// keep clean edges.
PictureRef LoadResPictureFor(int id, int dpi, HMODULE module = nullptr, long keyColour = 0xFF00FF,
                              std::span<const int> pieces = {});

// A strip of `frames` frames side by side (and a left-over column, see rt::StripPieces) for the
// screen's dpi: like LoadResPicture, every frame scaled on its own so that frames stay whole.
PictureRef LoadResStrip(int id, int frames, HMODULE module = nullptr);
// The same for `dpi`: a window on a monitor of another dpi than the screen's.
PictureRef LoadResStripFor(int id, int frames, int dpi, HMODULE module = nullptr);

}  // namespace rt
