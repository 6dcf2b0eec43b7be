// The check of a change before a save.
#include "edit/ChangeCheck.h"

#include "common/Cp1252.h"
#include "font/FontEngine.h"
#include "sound/Mp3Sound.h"
#include "swf/PictureFile.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFImage.h"

namespace tarvenox {

namespace {

std::optional<ChangeProblem> unknown(std::string reason) { return ChangeProblem{true, std::move(reason)}; }
std::optional<ChangeProblem> unusable(std::string reason) { return ChangeProblem{false, std::move(reason)}; }

}  // namespace

std::optional<ChangeProblem> changeProblem(SWFFile& movie, ChangeKind kind, const std::string& name,
                                           const std::string& value) {
    switch (kind) {
        case ChangeKind::Font:
            if (findFontNamed(movie, name) == nullptr) {
                return unknown("the movie has no font (DefineFont2 or DefineFont3) named '" + displayText(name) + "'");
            }
            if (systemFontEngine().faceNames().empty()) {
                return unusable("no installed fonts: install a TrueType font, e.g. fonts-dejavu-core");
            }
            return std::nullopt;
        case ChangeKind::Picture:
            if (findExportedImage(movie, name) == nullptr) {
                return unknown("the movie exports no picture named '" + displayText(name) + "'");
            }
            if (pictureKind(value) == PictureKind::Other) {
                return unknown("a picture must be a PNG or JPEG file (.png, .jpg, .jpeg)");
            }
            if (auto problem = pictureProblem(value)) return unusable(problem->reason);
            return std::nullopt;
        case ChangeKind::Sound:
            if (findExportedSound(movie, name) == nullptr) {
                return unknown("the movie exports no sound named '" + displayText(name) + "'");
            }
            if (auto problem = mp3FileProblem(value)) return unusable(*problem);
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace tarvenox
