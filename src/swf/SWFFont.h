// DefineFont2 (code 48) and DefineFont3 (code 75): a font embedded in a movie. The two
// share one body layout; DefineFont3's em is finer. (Rebuilding one from an installed
// face is font/FontReplacement.h.)
#pragma once

#include <optional>
#include <string>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFFont : public SWFTag {
public:
    SWFFont(int code, Bytes body) : SWFTag(code, std::move(body)) {}

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

}  // namespace tarvenox
