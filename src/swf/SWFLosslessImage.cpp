// DefineBitsLossless and DefineBitsLossless2.
#include "swf/SWFLosslessImage.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"

namespace tarvenox {

std::uint8_t SWFLosslessImage::bitmapFormat() const { return body().size() >= 3 ? body()[2] : 0; }

std::uint16_t SWFLosslessImage::width() const { return body().size() >= 5 ? peekUI16(body(), 3) : 0; }

std::uint16_t SWFLosslessImage::height() const { return body().size() >= 7 ? peekUI16(body(), 5) : 0; }

}  // namespace tarvenox
