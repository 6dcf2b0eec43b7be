// Picture files chosen to replace a movie's pictures: their kind, and the check they
// pass when they are chosen.
#pragma once

#include <memory>
#include <string>

#include "common/Report.h"
#include "common/Result.h"
#include "swf/SWFImage.h"

namespace tarvenox {

enum class PictureKind { Png, Jpeg, Other };

// By the file name's ending, ignoring case: ".png", ".jpg" or ".jpeg".
PictureKind pictureKind(const std::string& path);

// A picture file read and decoded once, for both the check and the replacement.
struct PictureConversion {
    // DefineBitsLossless or 2 for a PNG, DefineBitsJPEG2 for a JPEG, with character id 0;
    // nullptr for a file of another kind, which the replacement passes over.
    std::unique_ptr<SWFImage> image;
    // The check of a JPEG (jpegVerdict): it fails for one players cannot show. Such a
    // picture is converted all the same: the interactive program checks a JPEG when it
    // is chosen, and the replacement installs what it is given.
    Report check;
    // Asked for with PreviewCopy::Yes: for an accepted JPEG larger than kSmallerSide
    // (JpegDecoder.h), the same picture scaled down to about that size and encoded anew
    // (a DefineBitsJPEG2, character id 0), for a movie that is only previewed: a player
    // decodes a 4000 x 4000 photograph for seconds. nullptr otherwise: image serves.
    std::unique_ptr<SWFImage> previewImage;
};
enum class PreviewCopy { No, Yes };
// Fails when the file cannot be read or decoded, with the message the replacement shows
// (a box with OK and Cancel, whose answer changes nothing) and the reason.
Result<PictureConversion> convertPicture(const std::string& path, PreviewCopy preview = PreviewCopy::No);

// Whether the converted picture can be used: a report that fails, with the message for
// the user and the reason for the command line, for a JPEG that fails checkJpeg (one
// that cannot be read is refused like an empty one), and for a PNG that cannot be read
// or decoded or is larger than players show. Files of other kinds pass unchecked: they
// are ignored when the movie is saved.
Report pictureVerdict(const Result<PictureConversion>& conversion, const std::string& path);
// The same for the file at path, converted for it.
Report checkPicture(const std::string& path);
// The same, thrown as FileException (the message for the user, the path as file name).
void checkPictureFile(const std::string& path);

// The message for a picture file that cannot be read: "Datei <path> nicht gefunden."
// (OK and Cancel, whose answer changes nothing).
std::string missingPictureMessage(const std::string& path);
// The text for a picture whose pixels do not fit in memory.
std::string outOfMemoryMessage(const std::string& path);

}  // namespace tarvenox
