// Scaling a picture to the size its slot shows it at, with stb_image_resize.
#include "picture/PictureScaling.h"

#include <stb/stb_image_resize.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "picture/PictureLimits.h"

namespace tarvenox {

namespace {

std::uint32_t atLeastOne(double value) { return static_cast<std::uint32_t>(std::max(1.0, std::round(value))); }

// The whole plan shrunk by one factor until the new picture is within the players' limits.
void keepWithinLimits(FitPlan& plan) {
    const double w = plan.width;
    const double h = plan.height;
    const double factor = std::min(
        {1.0, kMaxPictureSide / w, kMaxPictureSide / h, std::sqrt(static_cast<double>(kMaxPicturePixels) / (w * h))});
    if (factor >= 1.0) return;
    const auto shrink = [&](std::uint32_t value) {
        return std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::floor(value * factor)));
    };
    plan.width = shrink(plan.width);
    plan.height = shrink(plan.height);
    plan.placeWidth = std::min(shrink(plan.placeWidth), plan.width);
    plan.placeHeight = std::min(shrink(plan.placeHeight), plan.height);
    plan.placeX = (plan.width - plan.placeWidth) / 2;
    plan.placeY = (plan.height - plan.placeHeight) / 2;
}

// Cover: the largest centred part of the picture with the proportions width : height.
void cropTo(FitPlan& plan, double sourceWidth, double sourceHeight) {
    const double aspect = static_cast<double>(plan.width) / plan.height;
    if (sourceWidth / sourceHeight > aspect) {
        const double kept = aspect * sourceHeight / sourceWidth;
        plan.cropLeft = (1 - kept) / 2;
        plan.cropRight = 1 - plan.cropLeft;
    } else {
        const double kept = sourceWidth / aspect / sourceHeight;
        plan.cropTop = (1 - kept) / 2;
        plan.cropBottom = 1 - plan.cropTop;
    }
}

}  // namespace

FitPlan planFit(std::uint32_t width, std::uint32_t height, double slotWidth, double slotHeight, PictureFit fit) {
    const double targetWidth = slotWidth * kPixelsPerStagePixel;
    const double targetHeight = slotHeight * kPixelsPerStagePixel;
    const double w = width;
    const double h = height;
    FitPlan plan;
    switch (fit) {
        case PictureFit::Stretch:
            plan.width = std::min(atLeastOne(targetWidth), width);
            plan.height = std::min(atLeastOne(targetHeight), height);
            break;
        case PictureFit::Cover: {
            // The part kept is as wide as the picture or as high; it gives at most its own pixels.
            const double keptWidth = std::min(w, h * targetWidth / targetHeight);
            const double scale = std::min(1.0, keptWidth / targetWidth);
            plan.width = std::min(atLeastOne(targetWidth * scale), width);
            plan.height = std::min(atLeastOne(targetHeight * scale), height);
            // Cut from the rounded size, so that the picture keeps its proportions exactly.
            cropTo(plan, w, h);
            break;
        }
        case PictureFit::Contain: {
            const double scale = std::min(targetWidth / w, targetHeight / h);
            // A picture smaller than the slot needs keeps its pixels, in a frame that shrinks with it.
            const double frame = std::max(1.0, scale);
            plan.width = atLeastOne(targetWidth / frame);
            plan.height = atLeastOne(targetHeight / frame);
            plan.placeWidth = std::min(atLeastOne(w * scale / frame), plan.width);
            plan.placeHeight = std::min(atLeastOne(h * scale / frame), plan.height);
            plan.placeX = (plan.width - plan.placeWidth) / 2;
            plan.placeY = (plan.height - plan.placeHeight) / 2;
            break;
        }
    }
    if (fit != PictureFit::Contain) {
        plan.placeWidth = plan.width;
        plan.placeHeight = plan.height;
    }
    keepWithinLimits(plan);
    return plan;
}

std::optional<PicturePixels> scaledPixels(const PicturePixels& source, const FitPlan& plan) {
    const bool margins = plan.hasMargins();
    PicturePixels out{plan.width,
                      plan.height,
                      margins ? 4 : source.channels,
                      source.channels == 4 ? source.premultiplied : margins,
                      {}};
    // The kept part is scaled into its own buffer when it lacks the channels of the result.
    const bool direct = out.channels == source.channels;
    PicturePixels part{plan.placeWidth, plan.placeHeight, source.channels, source.premultiplied, {}};
    try {
        out.samples.assign(out.rowBytes() * out.height, 0);
        if (!direct) part.samples.resize(part.rowBytes() * part.height);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    std::uint8_t* target =
        direct ? out.samples.data() + plan.placeY * out.rowBytes() + plan.placeX * out.channels : part.samples.data();
    const int targetStride = static_cast<int>(direct ? out.rowBytes() : part.rowBytes());
    if (!plan.crops() && plan.placeWidth == source.width && plan.placeHeight == source.height) {
        for (std::uint32_t y = 0; y < source.height; ++y) {
            std::memcpy(target + y * static_cast<std::size_t>(targetStride),
                        source.samples.data() + y * source.rowBytes(), source.rowBytes());
        }
    } else {
        const bool alpha = source.channels == 4;
        // sRGB: the filter works in linear light, so that a fine pattern of dark and
        // light keeps its brightness. Colours are weighed by alpha (stb multiplies them
        // by it for the filter unless they already are).
        const int done = stbir_resize_region(
            source.samples.data(), static_cast<int>(source.width), static_cast<int>(source.height),
            static_cast<int>(source.rowBytes()), target, static_cast<int>(plan.placeWidth),
            static_cast<int>(plan.placeHeight), targetStride, STBIR_TYPE_UINT8, source.channels,
            alpha ? 3 : STBIR_ALPHA_CHANNEL_NONE, alpha && source.premultiplied ? STBIR_FLAG_ALPHA_PREMULTIPLIED : 0,
            STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT, STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_SRGB,
            nullptr, static_cast<float>(plan.cropLeft), static_cast<float>(plan.cropTop),
            static_cast<float>(plan.cropRight), static_cast<float>(plan.cropBottom));
        if (done == 0) return std::nullopt;
    }
    if (!direct) {
        // Grey or colour pixels into the framed result, opaque; the margins stay transparent.
        for (std::uint32_t y = 0; y < part.height; ++y) {
            const std::uint8_t* in = part.samples.data() + y * part.rowBytes();
            std::uint8_t* px = out.samples.data() + (plan.placeY + y) * out.rowBytes() + plan.placeX * 4;
            for (std::uint32_t x = 0; x < part.width; ++x, in += part.channels, px += 4) {
                px[0] = in[0];
                px[1] = in[part.channels == 1 ? 0 : 1];
                px[2] = in[part.channels == 1 ? 0 : 2];
                px[3] = 0xFF;
            }
        }
    }
    return out;
}

}  // namespace tarvenox
