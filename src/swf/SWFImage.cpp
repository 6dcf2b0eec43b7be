// The bitmap tags' common side: finding the one a name is exported under or an id names.
#include "swf/SWFImage.h"

#include "swf/SWFFile.h"

namespace tarvenox {

SWFImage* findExportedImage(SWFFile& movie, const std::string& exportName) {
    auto slot = movie.findExported<SWFImage>(exportName);
    return slot == movie.tags().end() ? nullptr : static_cast<SWFImage*>(slot->get());
}

SWFImage* findImageSlot(SWFFile& movie, const std::string& slot) {
    auto found = movie.findSlot<SWFImage>(slot);
    return found == movie.tags().end() ? nullptr : static_cast<SWFImage*>(found->get());
}

}  // namespace tarvenox
