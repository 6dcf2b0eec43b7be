// Scaling a picture to the size its slot shows it at, cropped or framed by its fit.
#pragma once

#include <cstdint>
#include <optional>

#include "picture/PictureChoice.h"
#include "picture/PicturePixels.h"

namespace tarvenox {

// Pixels a picture gets per pixel of the stage it covers: sharp on screens of twice the
// density, where a player draws the stage at twice its size.
constexpr double kPixelsPerStagePixel = 2.0;

// What a picture of one size becomes in a slot: the part of it kept (as fractions of its
// width and height), the size of the new picture, and where the kept part goes in it
// (the rest is transparent margin, for Contain only).
struct FitPlan {
    double cropLeft = 0, cropTop = 0, cropRight = 1, cropBottom = 1;
    std::uint32_t width = 0, height = 0;
    std::uint32_t placeX = 0, placeY = 0, placeWidth = 0, placeHeight = 0;

    bool hasMargins() const { return placeWidth != width || placeHeight != height; }
    bool crops() const { return cropLeft > 0 || cropTop > 0 || cropRight < 1 || cropBottom < 1; }
};

// The plan for a width x height picture in a slot of slotWidth x slotHeight stage pixels
// (more than 0). The new picture has the slot's proportions, except under Stretch, and
// kPixelsPerStagePixel pixels per stage pixel, but never more pixels across or down than
// the source gives there; it stays within the players' limits (PictureLimits.h).
FitPlan planFit(std::uint32_t width, std::uint32_t height, double slotWidth, double slotHeight, PictureFit fit);

// The plan carried out on the pixels (with the filter and in linear light; colours under
// alpha weighed by it). The result has an alpha channel when the plan has margins or the
// source has one (premultiplied as the source was); nullopt when memory runs out.
std::optional<PicturePixels> scaledPixels(const PicturePixels& source, const FitPlan& plan);

}  // namespace tarvenox
