// The pictures, sounds and faces the user has chosen in this session, each converted once
// when chosen: every later apply and save installs a copy of the result instead of
// reading and converting the file again.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/Bytes.h"
#include "swf/TagCode.h"
#include "font/GlyphOutlines.h"

namespace tarvenox {

class SWFDefineSound;
class SWFImage;

class ChosenMedia {
public:
    // Converts the file (once: a path converted before is kept). nullopt when it can be
    // used, else the message for the user; a file that cannot be used is not kept.
    std::optional<std::string> addPicture(const std::string& path);
    std::optional<std::string> addSound(const std::string& path);
    // Extracts the face's outlines (once). The message when no font can be made of it.
    std::optional<std::string> addFace(const std::string& face);

    // A fresh copy of the converted tag (character id 0); nullptr when the path is not kept.
    std::unique_ptr<SWFImage> picture(const std::string& path) const;
    std::unique_ptr<SWFDefineSound> sound(const std::string& path) const;
    // The face's outlines; nullptr when it is not kept.
    const GlyphOutlines* outlines(const std::string& face) const;

    bool holdsPicture(const std::string& path) const { return pictures_.contains(path); }
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
