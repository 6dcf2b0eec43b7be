// Finding a movie's exported music.
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"

namespace tarvenox {

SWFDefineSound* findExportedSound(SWFFile& movie, const std::string& exportName) {
    auto slot = movie.findExported<SWFDefineSound>(exportName);
    return slot == movie.tags().end() ? nullptr : static_cast<SWFDefineSound*>(slot->get());
}

}  // namespace tarvenox
