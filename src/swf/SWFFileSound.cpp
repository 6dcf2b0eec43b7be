// Replacing a movie's music with an MP3 file.
#include "common/Messages.h"
#include "sound/SWFDefineSound.h"
#include "swf/SWFFile.h"

namespace tarvenox {

void SWFFile::replaceSound(const std::string& exportName, const std::string& path) {
    const auto id = findExportedId(exportName);
    if (!id) return;
    for (auto& tag : tags_) {
        auto* sound = dynamic_cast<SWFDefineSound*>(tag.get());
        if (sound == nullptr || sound->length() < 2 || sound->characterId() != *id) continue;
        std::string problem;
        auto replacement = SWFDefineSound::fromMp3File(*id, path, &problem);
        // A file that holds no usable MP3 stream keeps the template's music; the user
        // is told why, as for a picture that cannot be used.
        if (!replacement) {
            showMessage(problem, MessageKind::Information);
            return;
        }
        tag = std::move(replacement);
        return;
    }
}

}  // namespace tarvenox
