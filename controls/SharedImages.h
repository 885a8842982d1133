#pragma once
// What every iButton showing the same strip or the same font can share: the state images cut
// from a strip and the caption font. Cutting a strip and creating a font cost more than the rest
// of a button put together, and neither ever changes once made. GUI thread only.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/Handles.h"
#include "runtime/Resources.h"

namespace corvane {

using StateImages = std::vector<rt::PictureRef>;

// The state images of `strip` for `style`, cut the first time they are asked for and kept while
// `strip` lives. Images of strips that are gone are released on the next call.
std::shared_ptr<const StateImages> SharedStateImages(const rt::PictureRef& strip, std::int32_t style);
// Drops the images of strips that are gone.
void ReleaseOrphanedStateImages();

// A font for `lf`, the same handle for every equal description.
std::shared_ptr<const rt::Font> SharedFont(const LOGFONTW& lf);

}  // namespace corvane
