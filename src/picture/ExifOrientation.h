// The orientation a camera records in a JPEG's Exif segment or a PNG's eXIf chunk.
#pragma once

#include "common/Bytes.h"

namespace tarvenox {

// The Orientation (TIFF tag 274) of the first image directory in an APP1 segment's data
// ("Exif\0\0", then a TIFF header in either byte order): 1 to 8. 1, upright, when the
// segment is not Exif, holds no orientation, or is cut short.
int exifOrientation(ByteSpan app1);

// The same for Exif data without the "Exif\0\0" prefix, starting at the TIFF header (as a
// PNG's eXIf chunk holds it).
int tiffOrientation(ByteSpan tiff);

// The orientation in the eXIf chunk of a PNG file's bytes; 1 without one, or when the
// chunks before it are cut short.
int pngOrientation(ByteSpan png);

}  // namespace tarvenox
