// The pictures, sounds and faces the user has chosen in this session, each converted once
// when chosen: every later apply and save installs a copy of the result instead of
// reading and converting the file again.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/Bytes.h"
#include "common/Report.h"
#include "font/GlyphOutlines.h"
#include "swf/TagCode.h"

namespace tarvenox {

class SWFDefineSound;
class SWFImage;

class ChosenMedia {
public:
    // Converts the file (once: a path converted before is kept). A file that cannot be
    // used is refused, with the one message the user is shown, and not kept. A picture
    // is kept unfitted, as each save fits it to its slot.
    Report addPicture(const std::string& path);
    Report addSound(const std::string& path);
    // Extracts the face's outlines (once); refused when no font can be made of it.
    Report addFace(const std::string& face);

    // A fresh copy of the converted tag (character id 0); nullptr when the path is not kept.
    std::unique_ptr<SWFImage> picture(const std::string& path) const;
    std::unique_ptr<SWFDefineSound> sound(const std::string& path) const;
    // The face's outlines; nullptr when it is not kept.
    const GlyphOutlines* outlines(const std::string& face) const;

    bool holdsPicture(const std::string& path) const;
    bool holdsSound(const std::string& path) const { return sounds_.contains(path); }
    bool holdsFace(const std::string& face) const { return faces_.contains(face); }

private:
    struct Tag {
        TagCode code = TagCode::End;
        Bytes body;
    };

    std::map<std::string, Tag> pictures_;
    std::map<std::string, Tag> sounds_;
    std::map<std::string, GlyphOutlines> faces_;
};

}  // namespace tarvenox
