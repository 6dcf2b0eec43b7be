// The bitmap tags' common side: finding the one a name is exported under.
#include "swf/SWFImage.h"

#include "swf/SWFFile.h"

namespace tarvenox {

SWFImage* findExportedImage(SWFFile& movie, const std::string& exportName) {
    auto slot = movie.findExported<SWFImage>(exportName);
    return slot == movie.tags().end() ? nullptr : static_cast<SWFImage*>(slot->get());
}

}  // namespace tarvenox
