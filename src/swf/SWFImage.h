// The bitmap tags: a character id and a size in pixels.
#pragma once

#include <cstdint>
#include <string>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFFile;

class SWFImage : public SWFTag {
public:
    using SWFTag::SWFTag;

    virtual std::uint16_t width() const = 0;
    virtual std::uint16_t height() const = 0;
};

// The first bitmap tag whose character id is exported under exportName (see
// SWFFile::findExportedId); nullptr when there is none.
SWFImage* findExportedImage(SWFFile& movie, const std::string& exportName);
// The first bitmap tag of the character a slot names: the export name, else the character
// id (see SWFFile::findSlotId); nullptr when there is none.
SWFImage* findImageSlot(SWFFile& movie, const std::string& slot);

}  // namespace tarvenox
