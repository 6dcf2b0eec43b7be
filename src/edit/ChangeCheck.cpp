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

namespace {

std::optional<ChangeProblem> unknown(std::string reason) { return ChangeProblem{true, std::move(reason)}; }
std::optional<ChangeProblem> unusable(std::string reason) { return ChangeProblem{false, std::move(reason)}; }

}  // namespace

std::optional<ChangeProblem> changeProblem(SWFFile& movie, ChangeKind kind, const std::string& name,
                                           const std::string& value, Conversions* conversions) {
    switch (kind) {
        case ChangeKind::Font:
            if (findFontNamed(movie, name) == nullptr) {
                return unknown("the movie has no font (DefineFont2 or DefineFont3) named '" + displayText(name) + "'");
            }
            if (systemFontEngine().faceNames().empty()) {
                return unusable("no installed fonts: install a TrueType font, e.g. fonts-dejavu-core");
            }
            return std::nullopt;
        case ChangeKind::Picture: {
            if (findExportedImage(movie, name) == nullptr) {
                return unknown("the movie exports no picture named '" + displayText(name) + "'");
            }
            if (pictureKind(value) == PictureKind::Other) {
                return unknown("a picture must be a PNG or JPEG file (.png, .jpg, .jpeg)");
            }
            auto* picture = conversions != nullptr ? conversions->picture(name, value) : nullptr;
            if (const Report verdict = picture != nullptr ? pictureVerdict(*picture, value) : checkPicture(value);
                verdict.failed()) {
                return unusable(verdict.reason());
            }
            return std::nullopt;
        }
        case ChangeKind::Sound:
            if (findExportedSound(movie, name) == nullptr) {
                return unknown("the movie exports no sound named '" + displayText(name) + "'");
            }
            if (auto* sound = conversions != nullptr ? conversions->sound(name, value) : nullptr) {
                if (!*sound) return unusable(sound->report().reason());
            } else if (const Report verdict = checkMp3File(value); verdict.failed()) {
                return unusable(verdict.reason());
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace tarvenox
