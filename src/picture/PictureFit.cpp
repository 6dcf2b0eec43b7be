// A replacing picture made the size and shape of the slot it goes into.
#include "picture/PictureFit.h"

#include <algorithm>
#include <cstring>

#include "common/ByteWriter.h"
#include "picture/JpegEncoder.h"
#include "picture/JpegPixels.h"
#include "picture/LosslessPixels.h"
#include "picture/PictureScaling.h"
#include "swf/Deflate.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

namespace {

// The re-encoded JPEG keeps the source's quality within these bounds: below, the blocks
// show at twice the stage's size; above, the file grows fast for no visible gain.
constexpr int kLowestQuality = 50;
constexpr int kHighestQuality = 90;

bool leavesAsItIs(const FitPlan& plan, std::uint32_t width, std::uint32_t height) {
    return !plan.crops() && !plan.hasMargins() && plan.width == width && plan.height == height;
}

// The JPEG stream of a DefineBitsJPEG2 body: after the id, and after the empty stream
// (0xFF 0xD9 0xFF 0xD8) that tags made from files start with.
ByteSpan jpegStream(ByteSpan body) {
    ByteSpan data = body.subspan(std::min<std::size_t>(2, body.size()));
    static constexpr std::uint8_t kEmpty[] = {0xFF, 0xD9, 0xFF, 0xD8};
    if (data.size() >= 4 && std::memcmp(data.data(), kEmpty, 4) == 0) data = data.subspan(4);
    return data;
}

// The pixels as a baseline JPEG: a DefineBitsJPEG2, or with alpha a DefineBitsJPEG3 whose
// colours are those under the alpha (opaque inside, black in transparent margins).
std::unique_ptr<SWFImage> jpegImage(const PicturePixels& pixels, int quality) {
    SmallerPicture colour{pixels.width, pixels.height, pixels.channels == 1 ? 1 : 3, {}};
    const std::size_t count = std::size_t{pixels.width} * pixels.height;
    Bytes alpha;
    if (pixels.channels == 4) {
        colour.pixels.resize(count * 3);
        alpha.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            std::memcpy(&colour.pixels[i * 3], &pixels.samples[i * 4], 3);
            alpha[i] = pixels.samples[i * 4 + 3];
        }
    } else {
        colour.pixels = pixels.samples;
    }
    const Bytes jpeg = encodeJpeg(colour, quality);
    if (jpeg.empty()) return nullptr;
    if (alpha.empty()) return SWFJpegImage::fromJpegData(0, jpeg);
    // DefineBitsJPEG3: id, the JPEG data's length, the JPEG data, the zlib stream of one
    // alpha byte per pixel.
    Bytes body;
    writeUI16(body, 0);
    writeUI32(body, static_cast<std::uint32_t>(jpeg.size()));
    body.insert(body.end(), jpeg.begin(), jpeg.end());
    const Bytes stream = zlibCompress(alpha);
    body.insert(body.end(), stream.begin(), stream.end());
    return std::make_unique<SWFJpegImage>(TagCode::DefineBitsJPEG3, std::move(body));
}

std::unique_ptr<SWFImage> fittedJpeg(const SWFImage& image, SlotArea area, PictureFit fit) {
    const ByteSpan jpeg = jpegStream(image.body());
    const auto header = readJpegHeader(jpeg);
    if (!header) return nullptr;
    const bool swaps = orientationSwapsSides(header->orientation);
    const std::uint32_t width = swaps ? header->height : header->width;
    const std::uint32_t height = swaps ? header->width : header->height;
    const FitPlan plan = planFit(width, height, area.width, area.height, fit);
    if (header->orientation == 1 && leavesAsItIs(plan, width, height)) return nullptr;
    // libjpeg reduces the picture while decoding it, to no less than the part kept needs.
    const double scale = std::max(plan.placeWidth / ((plan.cropRight - plan.cropLeft) * width),
                                  plan.placeHeight / ((plan.cropBottom - plan.cropTop) * height));
    auto pixels = decodeJpegPixels(jpeg, scale);
    if (!pixels) return nullptr;
    auto scaled = scaledPixels(orientedPixels(std::move(*pixels), header->orientation), plan);
    if (!scaled) return nullptr;
    return jpegImage(*scaled, std::clamp(header->quality, kLowestQuality, kHighestQuality));
}

std::unique_ptr<SWFImage> fittedLossless(const SWFLosslessImage& image, SlotArea area, PictureFit fit) {
    const FitPlan plan = planFit(image.width(), image.height(), area.width, area.height, fit);
    if (leavesAsItIs(plan, image.width(), image.height())) return nullptr;
    auto pixels = losslessPixels(image);
    if (!pixels) return nullptr;
    auto scaled = scaledPixels(*pixels, plan);
    if (!scaled) return nullptr;
    return losslessImageFromPixels(*scaled);
}

}  // namespace

std::unique_ptr<SWFImage> fittedPicture(const SWFImage& image, SlotArea area, PictureFit fit) {
    if (!(area.width > 0) || !(area.height > 0)) return nullptr;
    if (image.code() == TagCode::DefineBitsJPEG2) return fittedJpeg(image, area, fit);
    if (const auto* lossless = dynamic_cast<const SWFLosslessImage*>(&image)) {
        return fittedLossless(*lossless, area, fit);
    }
    return nullptr;
}

}  // namespace tarvenox
