// Finding the frame header of a JPEG stream.
#include "swf/JpegFrame.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t kStartOfScan = 0xDA;

// Markers that stand alone, without a length and a segment: TEM, RST0 to RST7, SOI, EOI.
bool standsAlone(std::uint8_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9); }

}  // namespace

bool isStartOfFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<JpegFrame> findJpegFrame(ByteSpan data, std::size_t start) {
    std::size_t p = start;
    for (;;) {
        // Some encoders leave stray bytes between segments; like common decoders, the
        // walk looks past them for the next marker.
        while (p < data.size() && data[p] != 0xFF) ++p;
        // Any number of 0xFF fill bytes may precede a marker code.
        while (p < data.size() && data[p] == 0xFF) ++p;
        if (p >= data.size()) return std::nullopt;
        const std::uint8_t marker = data[p];
        if (standsAlone(marker)) {
            ++p;
            continue;
        }
        // Marker code, 2 bytes of segment length (counting themselves), the segment.
        if (p + 2 >= data.size()) return std::nullopt;
        const std::size_t length = data[p + 1] * 256u + data[p + 2];
        if (isStartOfFrame(marker)) {
            // Length, sample precision (1 byte), lines (2), samples per line (2).
            if (length < 7 || p + 7 >= data.size()) return std::nullopt;
            JpegFrame frame;
            frame.marker = marker;
            frame.offset = p;
            frame.height = static_cast<std::uint16_t>(data[p + 4] * 256u + data[p + 5]);
            frame.width = static_cast<std::uint16_t>(data[p + 6] * 256u + data[p + 7]);
            return frame;
        }
        // Entropy-coded data follows a scan header; a frame header must come first.
        if (marker == kStartOfScan || length < 2) return std::nullopt;
        p += 1 + length;
    }
}

}  // namespace tarvenox
