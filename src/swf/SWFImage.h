// The bitmap tags: a character id and a size in pixels.
#pragma once

#include <cstdint>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFImage : public SWFTag {
public:
    using SWFTag::SWFTag;

    virtual std::uint16_t width() = 0;
    virtual std::uint16_t height() = 0;
};

}  // namespace tarvenox
