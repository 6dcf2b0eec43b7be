// DefineEditText (code 37): a text field, often bound to a variable whose value it shows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/Bytes.h"
#include "swf/SWFRect.h"

namespace tarvenox {

struct SWFEditText {
    std::uint16_t id = 0;
    SWFRect bounds;
    std::uint8_t flags = 0;   // HasText, WordWrap, Multiline, Password, ReadOnly, HasTextColor, HasMaxLength, HasFont
    std::uint8_t flags2 = 0;  // HasFontClass, AutoSize, HasLayout, NoSelect, Border, WasStatic, HTML, UseOutlines
    std::optional<std::uint16_t> fontId;
    std::optional<std::string> fontClass;              // the movie's own text
    std::uint16_t fontHeight = 0;                      // twips, with a font or font class
    std::optional<std::array<std::uint8_t, 4>> color;  // RGBA
    std::optional<std::uint16_t> maxLength;
    std::string variableName;                // the movie's own text; may be empty
    std::optional<std::string> initialText;  // the movie's own text

    // The body of a DefineEditText; nullopt when a field it announces is cut short or a
    // string has no end. Bytes after the last field are left alone: the tag is only read.
    static std::optional<SWFEditText> read(ByteSpan body);
};

}  // namespace tarvenox
