// The check of a change before a save.
#include "edit/ChangeCheck.h"

#include "common/Cp1252.h"
#include "edit/Conversions.h"
#include "font/FontEngine.h"
#include "picture/PictureFile.h"
#include "sound/Mp3Sound.h"
#include "swf/CharacterTags.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFImage.h"

namespace tarvenox {

namespace {

// What a change takes, in the words of a refusal.
struct Wanted {
    std::string_view kind;  // as characterKind words it
    const char* change;     // what is done to it
    const char* tags;       // the tags it is done to
};
constexpr Wanted kFont{"a font", "rebuilt", "DefineFont2 and DefineFont3"};
constexpr Wanted kPicture{"a picture", "replaced", "the bitmap tags"};
constexpr Wanted kSound{"a sound", "replaced", "DefineSound"};

// The refusal of a name that gives nothing the change can take. Where it reads as the id
// of a character the movie defines, the reason says what that character is ("character 7
// is a shape (DefineShape), not a picture"), else it is the line for a name the movie
// lacks.
Report missing(const SWFFile& movie, std::optional<std::uint16_t> id, const Wanted& wanted, std::string lacking) {
    const SWFTag* other = id ? movie.findDefinition(*id) : nullptr;
    if (other == nullptr) return Report::failure(std::move(lacking));
    const std::string_view kind = characterKind(other->code());
    std::string reason = "character " + std::to_string(*id) + " is " + std::string(kind) + " (" +
                         std::string(tagName(other->code())) + "), ";
    if (kind != wanted.kind) return Report::failure(reason + "not " + std::string(wanted.kind));
    return Report::failure(reason + "which cannot be " + wanted.change + " (only " + wanted.tags + " can)");
}

}  // namespace

Report checkChangeName(SWFFile& movie, ChangeKind kind, const std::string& name, const std::string& value) {
    switch (kind) {
        case ChangeKind::Font:
            if (findFontSlot(movie, name) == nullptr) {
                return missing(movie, readCharacterId(name), kFont,
                               "the movie has no font (DefineFont2 or DefineFont3) named '" + displayText(name) + "'");
            }
            break;
        case ChangeKind::Picture:
            if (findImageSlot(movie, name) == nullptr) {
                return missing(movie, movie.slotIdReading(toMovieText(name, movie.textEncoding())), kPicture,
                               "the movie exports no picture named '" + displayText(name) + "'");
            }
            if (pictureKind(value) == PictureKind::Other) {
                return Report::failure("a picture must be a PNG or JPEG file (.png, .jpg, .jpeg)");
            }
            break;
        case ChangeKind::Sound:
            if (findSoundSlot(movie, name) == nullptr) {
                return missing(movie, movie.slotIdReading(toMovieText(name, movie.textEncoding())), kSound,
                               "the movie exports no sound named '" + displayText(name) + "'");
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
