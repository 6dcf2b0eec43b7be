// The check a JPEG picture passes before it may replace a picture of a movie.
#pragma once

#include <string>

#include "common/Bytes.h"

namespace tarvenox {

// Accepts a JPEG file whose first frame header is baseline, extended sequential or
// lossless (SOF0, SOF1, SOF3). Throws FileException with the path and the message
// "Ungültige JPEG Datei." when the file cannot be read, ends before a
// frame header or has another kind of frame, and "Progressive JPEG wird nicht
// unterstützt." for a progressive one (SOF2), which Flash players cannot show.
void checkJpeg(const std::string& path);
// The same check on bytes already read; path only names the file in the exception.
void checkJpegData(ByteSpan data, const std::string& path);

}  // namespace tarvenox
