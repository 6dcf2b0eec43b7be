// The check of a change before a save.
#include "edit/ChangeCheck.h"

#include "common/Cp1252.h"
#include "edit/Conversions.h"
#include "font/FontEngine.h"
#include "picture/PictureFile.h"
#include "sound/Mp3Sound.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFImage.h"

namespace tarvenox {

Report checkChangeName(SWFFile& movie, ChangeKind kind, const std::string& name, const std::string& value) {
    switch (kind) {
        case ChangeKind::Font:
            if (findFontNamed(movie, name) == nullptr) {
                return Report::failure("the movie has no font (DefineFont2 or DefineFont3) named '" +
                                       displayText(name) + "'");
            }
            break;
        case ChangeKind::Picture:
            if (findExportedImage(movie, name) == nullptr) {
                return Report::failure("the movie exports no picture named '" + displayText(name) + "'");
            }
            if (pictureKind(value) == PictureKind::Other) {
                return Report::failure("a picture must be a PNG or JPEG file (.png, .jpg, .jpeg)");
            }
            break;
        case ChangeKind::Sound:
            if (findExportedSound(movie, name) == nullptr) {
                return Report::failure("the movie exports no sound named '" + displayText(name) + "'");
            }
            break;
    }
    return {};
}

Report checkChangeValue(ChangeKind kind, const std::string& name, const std::string& value, Conversions* conversions) {
    switch (kind) {
        case ChangeKind::Font:
            if (systemFontEngine().faceNames().empty()) {
                return Report::failure("no installed fonts: install a TrueType font, e.g. fonts-dejavu-core");
            }
            break;
        case ChangeKind::Picture:
            if (auto* picture = conversions != nullptr ? conversions->picture(name, value) : nullptr) {
                return pictureVerdict(*picture, value);
            }
            return checkPicture(value);
        case ChangeKind::Sound:
            if (auto* sound = conversions != nullptr ? conversions->sound(name, value) : nullptr) {
                return *sound ? Report{} : sound->report();
            }
            return checkMp3File(value);
    }
    return {};
}

}  // namespace tarvenox
