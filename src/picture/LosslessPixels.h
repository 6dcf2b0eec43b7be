// The pixels of DefineBitsLossless and DefineBitsLossless2 tags, read and written.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "picture/PicturePixels.h"

namespace tarvenox {

class SWFLosslessImage;

// The pixels of a body with BitmapFormat 3 (colour table), 4 (15-bit, DefineBitsLossless
// only) or 5 (32-bit): RGB for DefineBitsLossless, RGBA premultiplied for
// DefineBitsLossless2. nullopt for another format, a size beyond the players' limits, or
// data that does not inflate to the size.
std::optional<PicturePixels> losslessPixels(const SWFLosslessImage& image);

// A 32-bit DefineBitsLossless2 of RGBA pixels (premultiplied as they say), or, for grey
// or RGB pixels, a DefineBitsLossless; character id 0.
std::unique_ptr<SWFLosslessImage> losslessImageFromPixels(const PicturePixels& pixels);

}  // namespace tarvenox
