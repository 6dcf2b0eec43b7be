// The orientation a camera records in a JPEG's Exif segment.
#pragma once

#include "common/Bytes.h"

namespace tarvenox {

// The Orientation (TIFF tag 274) of the first image directory in an APP1 segment's data
// ("Exif\0\0", then a TIFF header in either byte order): 1 to 8. 1, upright, when the
// segment is not Exif, holds no orientation, or is cut short.
int exifOrientation(ByteSpan app1);

}  // namespace tarvenox
