// A small PNG picture of a movie's bitmap, for the editor to show where the user has not
// replaced it.
#pragma once

#include <cstdint>
#include <string>

#include "common/Bytes.h"
#include "common/Result.h"

namespace tarvenox {

class SWFFile;
class SWFImage;

// The bitmap decoded and scaled down, aspect kept, so that its longer side is at most
// longestSide pixels (a smaller picture keeps its size), as PNG bytes with an alpha
// channel. Lossless bitmaps (palette, 15-bit and 32-bit, with and without alpha) and
// JPEG bitmaps (DefineBits with the movie's JPEGTables, DefineBitsJPEG2, 3 and 4 with
// their alpha channel) are read; a bitmap that cannot be decoded fails with the reason.
Result<Bytes> pictureThumbnail(const SWFFile& movie, const SWFImage& image, std::uint32_t longestSide = 160);

}  // namespace tarvenox
