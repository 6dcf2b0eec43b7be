// The frame header of a JPEG stream: which coding process it uses and the picture size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/Bytes.h"

namespace tarvenox {

struct JpegFrame {
    std::uint8_t marker = 0;   // the start-of-frame marker code, 0xC0 to 0xCF
    std::size_t offset = 0;    // position of the marker code in the data
    std::uint16_t width = 0;   // samples per line
    std::uint16_t height = 0;  // number of lines
};

// Walks the JPEG markers of data from start to the first start-of-frame marker.
// Segments are skipped by their length; markers without a segment (start and end of
// image, restart, TEM) are stepped over, so a stream preceded by another one, as in a
// DefineBitsJPEG2 body made by old tools, is walked through. Stray bytes before a
// marker are passed over. nullopt when the data ends first or when a scan starts
// before any frame header (the stream is broken). Never reads outside data.
std::optional<JpegFrame> findJpegFrame(ByteSpan data, std::size_t start);

// 0xC0 to 0xCF except 0xC4 (DHT), 0xC8 (reserved) and 0xCC (DAC).
bool isStartOfFrame(std::uint8_t marker);

}  // namespace tarvenox
