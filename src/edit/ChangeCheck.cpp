// The check of a change before a save.
#include "edit/ChangeCheck.h"

#include "common/Cp1252.h"
#include "common/Texts.h"
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
    const char* otherKind;  // the refusal of a character of another kind
    const char* otherTag;   // the refusal of one of this kind in a tag the change cannot take
};
constexpr Wanted kFont{"a font", "change.notFont", "change.fontNotRebuilt"};
constexpr Wanted kPicture{"a picture", "change.notPicture", "change.pictureNotReplaced"};
constexpr Wanted kSound{"a sound", "change.notSound", "change.soundNotReplaced"};

// The refusal of a name that gives nothing the change can take. Where it reads as the id
// of a character the movie defines, the reason says what that character is ("character 7
// is a shape (DefineShape), not a picture"), else it is the line for a name the movie
// lacks.
Report missing(const SWFFile& movie, std::optional<std::uint16_t> id, const Wanted& wanted, std::string lacking) {
    const SWFTag* other = id ? movie.findDefinition(*id) : nullptr;
    if (other == nullptr) return Report::failure(std::move(lacking));
    const bool otherKind = characterKind(other->code()) != wanted.kind;
    return Report::failure(text(otherKind ? wanted.otherKind : wanted.otherTag,
                                {std::to_string(*id), characterKindText(other->code()), tagName(other->code())}));
}

}  // namespace

Report checkChangeName(SWFFile& movie, ChangeKind kind, const std::string& name, const std::string& value) {
    switch (kind) {
        case ChangeKind::Font:
            if (findFontSlot(movie, name) == nullptr) {
                return missing(movie, readCharacterId(name), kFont, text("change.noFont", {displayText(name)}));
            }
            break;
        case ChangeKind::Picture:
            if (findImageSlot(movie, name) == nullptr) {
                return missing(movie, movie.slotIdReading(toMovieText(name, movie.textEncoding())), kPicture,
                               text("change.noPicture", {displayText(name)}));
            }
            if (pictureKind(value) == PictureKind::Other) {
                return Report::failure(text("change.notPictureFile"));
            }
            break;
        case ChangeKind::Sound:
            if (findSoundSlot(movie, name) == nullptr) {
                return missing(movie, movie.slotIdReading(toMovieText(name, movie.textEncoding())), kSound,
                               text("change.noSound", {displayText(name)}));
            }
            break;
    }
    return {};
}

Report checkChangeValue(ChangeKind kind, const std::string& name, const std::string& value, Conversions* conversions) {
    switch (kind) {
        case ChangeKind::Font:
            if (systemFontEngine().faceNames().empty()) {
                return Report::failure(text("change.noInstalledFonts"));
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
