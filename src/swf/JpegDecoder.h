// Decoding a JPEG stream with libjpeg-turbo to learn whether a player can show it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/Bytes.h"

namespace tarvenox {

struct JpegDecodeResult {
    enum class Verdict {
        Decodes,      // a frame, a scan and its end: the picture decodes cleanly
        Progressive,  // a progressive frame, which Flash players cannot show
        TooLarge,     // a frame beyond what players show (PictureLimits.h)
        Broken,       // anything else: not JPEG, cut short, corrupt, 12-bit, CMYK
    };
    Verdict verdict = Verdict::Broken;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // For Broken: what libjpeg or the check found, in English.
    std::string detail;
};

// Reads the header, checks the frame (8-bit samples, 1 or 3 components, a size of at
// least 1 x 1 within the players' limits) before anything is decoded, then decodes every
// scan at 1/8 scale: the entropy-coded data is read in full while the output stays
// small. A file that ends early or has corrupt data is Broken (libjpeg would only warn
// and fill in grey). Memory stays within a few rows of the picture.
JpegDecodeResult decodeJpeg(ByteSpan data);

}  // namespace tarvenox
