// Finding a movie's music by export name or character id.
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"

namespace tarvenox {

SWFDefineSound* findExportedSound(SWFFile& movie, const std::string& exportName) {
    auto slot = movie.findExported<SWFDefineSound>(exportName);
    return slot == movie.tags().end() ? nullptr : static_cast<SWFDefineSound*>(slot->get());
}

SWFDefineSound* findSoundSlot(SWFFile& movie, const std::string& slot) {
    auto found = movie.findSlot<SWFDefineSound>(slot);
    return found == movie.tags().end() ? nullptr : static_cast<SWFDefineSound*>(found->get());
}

}  // namespace tarvenox
