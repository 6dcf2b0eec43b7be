// A replacing picture made the size and shape of the slot it goes into.
#pragma once

#include <memory>

#include "picture/PictureChoice.h"

namespace tarvenox {

class SWFImage;

// The area a slot shows its picture in, in pixels of the movie's stage.
struct SlotArea {
    double width = 0;
    double height = 0;
};

// The picture (a converted file: DefineBitsJPEG2, DefineBitsLossless or 2) turned upright
// as its Exif orientation says, cut or framed by the fit to the area's proportions and
// scaled to kPixelsPerStagePixel pixels per stage pixel (PictureScaling.h), character id
// 0. A JPEG stays a JPEG (DefineBitsJPEG3, with an alpha channel, when framed), encoded
// with about the quality it had; a lossless picture stays lossless. nullptr when the
// picture already is what the plan asks for, or cannot be decoded: it is then installed
// as it is.
std::unique_ptr<SWFImage> fittedPicture(const SWFImage& image, SlotArea area, PictureFit fit);

}  // namespace tarvenox
