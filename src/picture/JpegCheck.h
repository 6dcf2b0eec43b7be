// The check a JPEG picture passes before it may replace a picture of a movie.
#pragma once

#include <string>

#include "common/Bytes.h"
#include "common/Report.h"
#include "picture/JpegDecoder.h"

namespace tarvenox {

// Accepts a JPEG file whose first frame header is baseline or extended sequential
// (SOF0, SOF1; lossless SOF3 passes the marker walk but libjpeg cannot decode it) and
// that then decodes cleanly within the players' limits (JpegDecoder.h). Throws
// FileException with the path and the message "Progressive JPEG wird nicht
// unterstützt." for a progressive one (SOF2), which Flash players cannot show, the
// size message of PictureLimits.h for one too large, and "Ungültige JPEG Datei." for
// any other failure: unreadable, no frame header, another kind of frame, cut short,
// corrupt, 12-bit samples, CMYK.
void checkJpeg(const std::string& path);
// The same check on bytes already read; path only names the file in the exception.
void checkJpegData(ByteSpan data, const std::string& path);

// The check as a report: it fails for a refused file with the message above and an
// English reason for the command line. With smaller given, an accepted picture larger
// than kSmallerSide leaves a smaller copy there, made by the same decoding
// (decodeJpeg).
Report jpegVerdict(ByteSpan data, const std::string& path, SmallerPicture* smaller = nullptr);

}  // namespace tarvenox
