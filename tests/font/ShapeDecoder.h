// Reads a glyph SHAPE back, as a player would, to check what the writers produced.
#pragma once

#include <algorithm>
#include <cstdint>

#include "common/Bytes.h"
#include "swf/SWFBitReader.h"

namespace tarvenox::test {

struct DecodedShape {
    bool ok = false;      // a well-formed glyph shape up to its EndShapeRecord
    std::size_t end = 0;  // offset of the byte after it
    int edges = 0;
    int maxNumBits = 0;   // the widest NumBits of an edge record
    std::int64_t dx = 0;  // sum of the edge deltas
    std::int64_t dy = 0;
};

// From start, a SHAPE with NumFillBits 1 and NumLineBits 0; withHeader false reads edge
// records only, up to the first non-edge record or the end of the data.
inline DecodedShape decodeShape(ByteSpan data, std::size_t start = 0, bool withHeader = true) {
    SWFBitReader r(data.subspan(start));
    DecodedShape d;
    if (withHeader && (r.readUB(4) != 1 || r.readUB(4) != 0)) return d;
    for (;;) {
        if (r.readUB(1) == 0) {
            if (!withHeader) break;
            std::uint32_t flags = r.readUB(5);
            if (flags == 0) break;          // EndShapeRecord
            if (flags & 0b10000) return d;  // StateNewStyles: never in a glyph
            if (flags & 0b00001) {          // StateMoveTo
                int n = static_cast<int>(r.readUB(5));
                r.readSB(n);
                r.readSB(n);
            }
            if (flags & 0b00010) r.readUB(1);  // FillStyle0
            if (flags & 0b00100) r.readUB(1);  // FillStyle1
        } else {
            bool straight = r.readUB(1) == 1;
            int numBits = static_cast<int>(r.readUB(4));
            d.maxNumBits = std::max(d.maxNumBits, numBits);
            ++d.edges;
            if (!straight) {
                for (int i = 0; i < 4; ++i) (i % 2 == 0 ? d.dx : d.dy) += r.readSB(numBits + 2);
            } else if (r.readUB(1) == 1) {  // GeneralLineFlag
                d.dx += r.readSB(numBits + 2);
                d.dy += r.readSB(numBits + 2);
            } else if (r.readUB(1) == 1) {  // VertLineFlag
                d.dy += r.readSB(numBits + 2);
            } else {
                d.dx += r.readSB(numBits + 2);
            }
        }
        if (r.overrun()) return withHeader ? DecodedShape{} : d;
    }
    d.ok = !r.overrun();
    d.end = start + r.nextByteOffset();
    return d;
}

}  // namespace tarvenox::test
