// The RECT record: a rectangle in twips with a shared bit width.
#pragma once

#include <cstdint>

#include "swf/SWFBitReader.h"
#include "swf/SWFBitWriter.h"

namespace tarvenox {

struct SWFRect {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMin = 0;
    std::int32_t yMax = 0;
    int nBits = 0;  // the width the record was read with (at least this is written)

    // UB[5] Nbits, then Xmin, Xmax, Ymin, Ymax as SB[Nbits]. Does not align.
    static SWFRect read(SWFBitReader& reader);

    // Writes with the record's nBits when it holds every value, else with the smallest
    // width that does. Does not align before or after.
    void write(SWFBitWriter& writer) const;

    // The smallest Nbits that holds all four values.
    int minimalBits() const;

    std::int32_t width() const { return xMax - xMin; }
    std::int32_t height() const { return yMax - yMin; }

    bool operator==(const SWFRect&) const = default;
};

}  // namespace tarvenox
