// Encoding pixels as a baseline JPEG with libjpeg-turbo.
#pragma once

#include "common/Bytes.h"
#include "picture/JpegDecoder.h"

namespace tarvenox {

// The picture as a baseline JPEG of the given quality (1 to 100); empty when libjpeg
// fails or the picture has no pixels.
Bytes encodeJpeg(const SmallerPicture& picture, int quality);

}  // namespace tarvenox
