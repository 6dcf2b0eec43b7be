// The replacement of a movie's pictures by PNG and JPEG files.
#pragma once

#include <string>

#include "common/Report.h"
#include "common/Result.h"
#include "picture/PictureChoice.h"
#include "picture/PictureFile.h"

namespace tarvenox {

class SWFFile;

// Replaces the picture that slotName (a product text) names, the bitmap exported under
// that name or else the bitmap with that character id (findImageSlot), with a PNG or JPEG
// file and rescales the first shape that shows it, so that it keeps its size on the
// stage. The file is first fitted to the area that shape shows it in (fittedPicture):
// scaled to the area's size, and cut or framed to its proportions by the fit. A slot that names no bitmap, or
// a file of another kind, changes nothing; a file that cannot be read or decoded keeps
// the template's picture and fails the report with the reason.
Report replacePicture(SWFFile& movie, const std::string& slotName, const std::string& path,
                      PictureFit fit = PictureFit::Cover);
// replacePicture with the file already converted (the conversion's picture may have any
// character id).
Report installPicture(SWFFile& movie, const std::string& slotName, Result<PictureConversion> conversion,
                      PictureFit fit = PictureFit::Cover);

}  // namespace tarvenox
