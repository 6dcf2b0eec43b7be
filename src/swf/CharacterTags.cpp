// The tags that define a character.
#include "swf/CharacterTags.h"

#include <cctype>

#include "common/Texts.h"

namespace tarvenox {

std::string_view characterKind(TagCode code) {
    switch (code) {
        case TagCode::DefineShape:
        case TagCode::DefineShape2:
        case TagCode::DefineShape3:
        case TagCode::DefineShape4: return "a shape";
        case TagCode::DefineMorphShape:
        case TagCode::DefineMorphShape2: return "a morph shape";
        case TagCode::DefineBits:
        case TagCode::DefineBitsJPEG2:
        case TagCode::DefineBitsJPEG3:
        case TagCode::DefineBitsJPEG4:
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: return "a picture";
        case TagCode::DefineButton:
        case TagCode::DefineButton2: return "a button";
        case TagCode::DefineFont:
        case TagCode::DefineFont2:
        case TagCode::DefineFont3:
        case TagCode::DefineFont4: return "a font";
        case TagCode::DefineText:
        case TagCode::DefineText2: return "a static text";
        case TagCode::DefineEditText: return "a text field";
        case TagCode::DefineSound: return "a sound";
        case TagCode::DefineSprite: return "a movie clip";
        case TagCode::DefineVideoStream: return "a video";
        case TagCode::DefineBinaryData: return "binary data";
        default: return {};
    }
}

// The catalogue's id of a kind is its words without the article, in camel case
// ("a morph shape" is "character.morphShape").
std::string characterKindText(TagCode code) {
    std::string_view kind = characterKind(code);
    if (kind.starts_with("a ")) kind.remove_prefix(2);
    std::string id = "character.";
    bool wordStart = false;
    for (const char c : kind) {
        if (c == ' ') {
            wordStart = true;
        } else {
            id += wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            wordStart = false;
        }
    }
    return text(id);
}

bool definesCharacter(TagCode code) { return !characterKind(code).empty(); }

std::optional<std::uint16_t> readCharacterId(std::string_view text) {
    if (text.empty() || text.size() > 5 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    std::uint32_t id = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (id > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(id);
}

}  // namespace tarvenox
