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

// The longer side of the smaller copy decodeJpeg makes of a larger picture: enough for
// the preview of a movie, even full screen, where the picture is one part of the stage.
constexpr std::uint32_t kSmallerSide = 1024;

// A smaller copy of a picture: width x height pixels of 1 (grey) or 3 (RGB) samples, row
// by row; empty pixels for none.
struct SmallerPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 0;
    Bytes pixels;
};

// Reads the header, checks the frame (8-bit samples, 1 or 3 components, a size of at
// least 1 x 1 within the players' limits) before anything is decoded, then decodes every
// scan at 1/8 scale: the entropy-coded data is read in full while the output stays
// small. A file that ends early or has corrupt data is Broken (libjpeg would only warn
// and fill in grey). Memory stays within a few rows of the picture.
// With smaller given, a picture that can be decoded at a scale of M/8 (M below 8) with
// its longer side still at least kSmallerSide is decoded instead at the smallest such
// scale, in colour, into *smaller (the same pass reads the data in full, so the check is
// the same); smaller stays empty for a smaller picture and for one that does not decode.
JpegDecodeResult decodeJpeg(ByteSpan data, SmallerPicture* smaller = nullptr);

}  // namespace tarvenox
