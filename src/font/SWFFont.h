// DefineFont2 (code 48): a font embedded in a movie, rebuilt from an installed face.
#pragma once

#include <optional>
#include <string>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFFont : public SWFTag {
public:
    SWFFont(int code, Bytes body) : SWFTag(code, std::move(body)) {}

    // FontName (body bytes 5 to 4 + FontNameLen), read on the first call and kept.
    // Empty when the body is too short to hold it.
    const std::string& getFontName();

    // Installs a new DefineFont2 body with the characters of the Windows-1252 codes 32
    // to 255 of the installed face (UTF-8), keeping the font id (body bytes 0-1) and
    // storing fontName (the movie's bytes) as the name. The name cache stays as it is.
    void replaceWithSystemFont(const std::string& fontName, const std::string& faceName);

private:
    std::optional<std::string> nameCache_;
};

class SWFFile;

// The first DefineFont2 of the movie whose name is fontName (a product text, compared
// byte for byte in the movie's encoding); nullptr when there is none.
SWFFont* findFontNamed(SWFFile& movie, const std::string& fontName);

}  // namespace tarvenox
