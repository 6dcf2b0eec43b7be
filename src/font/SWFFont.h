// DefineFont2 (code 48) and DefineFont3 (code 75): a font embedded in a movie, rebuilt
// from an installed face. The two share one body layout; DefineFont3's em is finer.
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
    const std::string& getFontName();

    // FontName byte for byte, as the movie stores it.
    std::string nameBytes() const;

    // Installs a new body with the characters of the Windows-1252 codes 32 to 255 of
    // the installed face (UTF-8), keeping the font id (body bytes 0-1), the italic and
    // bold flags, and storing fontName (the movie's bytes) as the name. The name cache
    // stays as it is.
    void replaceWithSystemFont(const std::string& fontName, const std::string& faceName);

private:
    std::optional<std::string> nameCache_;
};

class SWFFile;

// The first DefineFont2 or DefineFont3 of the movie whose name is fontName (a product
// text, compared byte for byte in the movie's encoding); nullptr when there is none.
SWFFont* findFontNamed(SWFFile& movie, const std::string& fontName);

}  // namespace tarvenox
