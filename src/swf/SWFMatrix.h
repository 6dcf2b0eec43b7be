// The MATRIX record: scale and rotate in 16.16 fixed point, translation in twips.
#pragma once

#include <cstdint>

#include "swf/SWFBitReader.h"
#include "swf/SWFBitWriter.h"

namespace tarvenox {

struct SWFMatrix {
    bool hasScale = false;
    std::int32_t scaleX = 0;
    std::int32_t scaleY = 0;
    bool hasRotate = false;
    std::int32_t rotateSkew0 = 0;
    std::int32_t rotateSkew1 = 0;
    std::int32_t translateX = 0;
    std::int32_t translateY = 0;

    // Neither read nor write aligns: the body that holds the matrix decides.
    static SWFMatrix read(SWFBitReader& reader);
    // Each pair is written with the smallest bit count that holds both its values.
    void write(SWFBitWriter& writer) const;

    bool operator==(const SWFMatrix&) const = default;
};

}  // namespace tarvenox
