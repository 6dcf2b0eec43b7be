// Replacing a movie's music with an MP3 file.

#include "common/Messages.h"
#include "sound/SWFDefineSound.h"
#include "swf/SWFFile.h"

namespace tarvenox {

SWFDefineSound* findExportedSound(SWFFile& movie, const std::string& exportName) {
    auto slot = movie.findExported<SWFDefineSound>(exportName);
    return slot == movie.tags().end() ? nullptr : static_cast<SWFDefineSound*>(slot->get());
}

void SWFFile::replaceSound(const std::string& exportName, const std::string& path) {
    auto slot = findExported<SWFDefineSound>(exportName);
    if (slot == tags_.end()) return;
    std::string problem;
    auto replacement = SWFDefineSound::fromMp3File((*slot)->characterId(), path, &problem);
    // A file that holds no usable MP3 stream keeps the template's music; the user is
    // told why, as for a picture that cannot be used.
    if (!replacement) {
        showMessage(problem, MessageKind::Information);
        return;
    }
    *slot = std::move(replacement);
}

}  // namespace tarvenox
