// Picture files chosen to replace a movie's pictures: their kind, and the check they
// pass when they are chosen.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/Report.h"
#include "swf/PictureLimits.h"
#include "swf/SWFImage.h"

namespace tarvenox {

enum class PictureKind { Png, Jpeg, Other };

// By the file name's ending, ignoring case: ".png", ".jpg" or ".jpeg".
PictureKind pictureKind(const std::string& path);

// Why the picture cannot be used, or nullopt: a JPEG that fails checkJpeg, a PNG that
// cannot be read or decoded or is larger than players show. Files of other kinds pass
// unchecked: they are ignored when the movie is saved.
std::optional<PictureProblem> pictureProblem(const std::string& path);
// A picture file turned into a bitmap tag, read and decoded once for both the check and
// the replacement.
struct PictureConversion {
    // pictureProblem's verdict.
    std::optional<PictureProblem> problem;
    // DefineBitsLossless or 2 for a PNG, DefineBitsJPEG2 for a JPEG (checked or not),
    // with character id 0; nullptr for a file that cannot be used or of another kind.
    std::unique_ptr<SWFImage> image;
    // What the replacement reports: a file that cannot be read or decoded (a box with OK
    // and Cancel, whose answer changes nothing).
    Report report;
    // Asked for with PreviewCopy::Yes: for an accepted JPEG larger than kSmallerSide
    // (JpegDecoder.h), the same picture scaled down to about that size and encoded anew
    // (a DefineBitsJPEG2, character id 0), for a movie that is only previewed: a player
    // decodes a 4000 x 4000 photograph for seconds. nullptr otherwise: image serves.
    std::unique_ptr<SWFImage> previewImage;
};
enum class PreviewCopy { No, Yes };
PictureConversion convertPicture(const std::string& path, PreviewCopy preview = PreviewCopy::No);

// The same, thrown as FileException (the message for the user, the path as file name).
void checkPictureFile(const std::string& path);

// The message for a picture file that cannot be read: "Datei <path> nicht gefunden."
// (OK and Cancel, whose answer changes nothing).
std::string missingPictureMessage(const std::string& path);
// The text for a picture whose pixels do not fit in memory.
std::string outOfMemoryMessage(const std::string& path);

}  // namespace tarvenox
