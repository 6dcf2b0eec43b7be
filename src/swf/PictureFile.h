// Picture files chosen to replace a movie's pictures: their kind, and the check they
// pass when they are chosen.
#pragma once

#include <optional>
#include <string>

#include "swf/PictureLimits.h"

namespace tarvenox {

enum class PictureKind { Png, Jpeg, Other };

// By the file name's ending, ignoring case: ".png", ".jpg" or ".jpeg".
PictureKind pictureKind(const std::string& path);

// Why the picture cannot be used, or nullopt: a JPEG that fails checkJpeg, a PNG that
// cannot be read or decoded or is larger than players show. Files of other kinds pass
// unchecked: they are ignored when the movie is saved.
std::optional<PictureProblem> pictureProblem(const std::string& path);
// The same, thrown as FileException (the message for the user, the path as file name).
void checkPictureFile(const std::string& path);

// The message for a picture file that cannot be read: "Datei <path> nicht gefunden."
// (OK and Cancel, whose answer changes nothing).
std::string missingPictureMessage(const std::string& path);
// The text for a picture whose pixels do not fit in memory.
std::string outOfMemoryMessage(const std::string& path);

}  // namespace tarvenox
