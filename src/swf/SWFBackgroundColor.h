// SetBackgroundColor (code 9): the movie's background as red, green, blue.
#pragma once

#include <cstdint>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFFile;

class SWFBackgroundColor : public SWFTag {
public:
    SWFBackgroundColor(TagCode code, TagBody body) : SWFTag(code, std::move(body)) {}

    // 0xRRGGBB from body bytes 0-2, or -1 when the body is shorter than a colour.
    std::int32_t color() const;
    // Sets body bytes 0-2 from the colour's red, green and blue; a body shorter than
    // three bytes is made three bytes long.
    void setColor(std::int32_t rgb);
};

// Gives the movie's first SetBackgroundColor the colour; a movie without one is left as
// it is.
void setBackgroundColor(SWFFile& movie, std::int32_t rgb);

}  // namespace tarvenox
