// DefineFont2 (code 48) and DefineFont3 (code 75): a font embedded in a movie. The two
// share one body layout; DefineFont3's em is finer. (Rebuilding one from an installed
// face is font/FontReplacement.h.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFFont : public SWFTag {
public:
    // The bits of the flags byte (body byte 2) that the reading and the building of a
    // font body use.
    static constexpr std::uint8_t kFlagHasLayout = 0x80;
    static constexpr std::uint8_t kFlagShiftJis = 0x40;
    static constexpr std::uint8_t kFlagWideOffsets = 0x08;
    static constexpr std::uint8_t kFlagWideCodes = 0x04;
    static constexpr std::uint8_t kFlagsItalicBold = 0x03;

    SWFFont(TagCode code, TagBody body) : SWFTag(code, std::move(body)) {}

    // FontName (body bytes 5 to 4 + FontNameLen) as players match it: without the NUL
    // bytes that Flash authoring tools end it with. Read on the first call and kept.
    // Empty when the body is too short to hold it.
    const std::string& getFontName() const;

    // FontName byte for byte, as the movie stores it.
    std::string nameBytes() const;

private:
    mutable std::optional<std::string> nameCache_;
};

class SWFFile;

// The first DefineFont2 or DefineFont3 of the movie whose name is fontName (a product
// text, compared byte for byte in the movie's encoding); nullptr when there is none.
SWFFont* findFontNamed(SWFFile& movie, const std::string& fontName);
// The font a slot names: the font named so (findFontNamed), else the DefineFont2 or
// DefineFont3 whose character id the slot reads as (readCharacterId); nullptr when there
// is none.
SWFFont* findFontSlot(SWFFile& movie, const std::string& slot);

}  // namespace tarvenox
