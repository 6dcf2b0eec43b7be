// A JPEG decoded for scaling: its size, orientation and quality, and its pixels at the
// smallest of libjpeg's scales that still gives the pixels needed.
#pragma once

#include <cstdint>
#include <optional>

#include "common/Bytes.h"
#include "picture/PicturePixels.h"

namespace tarvenox {

struct JpegHeader {
    std::uint32_t width = 0;  // as stored, before the orientation is applied
    std::uint32_t height = 0;
    int components = 3;   // 1 grey, 3 colour
    int orientation = 1;  // Exif, 1 to 8 (ExifOrientation.h)
    int quality = 75;     // estimated from the luminance quantisation table, 1 to 100
};

// nullopt when the data holds no JPEG header libjpeg can read.
std::optional<JpegHeader> readJpegHeader(ByteSpan jpeg);

// The pixels as stored (grey or RGB), decoded at the smallest scale M/8 (M from 1 to 8)
// that is at least `scale` of the full size, so that a large photograph is reduced in
// the DCT instead of decoded whole. nullopt when the data does not decode cleanly.
std::optional<PicturePixels> decodeJpegPixels(ByteSpan jpeg, double scale);

// The IJG quality (1 to 100) that gives a luminance quantisation table closest to the
// given one (64 values in natural order), the way libjpeg scales the table of the JPEG
// standard's Annex K.
int estimateJpegQuality(const std::uint16_t (&table)[64]);

}  // namespace tarvenox
