// A small PNG picture of a movie's bitmap. The pixels are decoded and scaled as a save
// decodes and scales a replaced picture (LosslessPixels, JpegPixels, PictureScaling);
// what only the bitmaps movies hold need is done here: JPEGTables and two-stream JPEG
// data joined into one stream, and the alpha channel of DefineBitsJPEG3 and 4.
#include "edit/PictureThumbnail.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/ByteReader.h"
#include "picture/JpegPixels.h"
#include "picture/LosslessPixels.h"
#include "picture/PictureLimits.h"
#include "picture/PictureScaling.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

namespace {

bool startsWith(ByteSpan data, std::initializer_list<std::uint8_t> prefix) {
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// The stream joined into one: every end and start of image (FF D9, FF D8) before the
// first scan is dropped. Tools write the tables and the picture as two streams one after
// the other, in DefineBitsJPEG2 and between JPEGTables and DefineBits; a decoder would
// stop at the first end. Segments are walked by their lengths, so no byte of a table is
// taken for a marker.
void joinStreams(Bytes& stream) {
    std::size_t at = 2;
    while (at + 1 < stream.size()) {
        if (stream[at] != 0xFF) return;
        const std::uint8_t marker = stream[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
        } else if (marker == 0xD8 || marker == 0xD9) {
            stream.erase(stream.begin() + static_cast<std::ptrdiff_t>(at),
                         stream.begin() + static_cast<std::ptrdiff_t>(at + 2));
        } else if (marker == 0xDA || at + 3 >= stream.size()) {
            return;
        } else {
            at += 2 + ((std::size_t{stream[at + 2]} << 8) | stream[at + 3]);
        }
    }
}

// The JPEG stream of a JPEG bitmap tag, and its alpha channel's data where it has one.
// Early tools begin DefineBitsJPEG2 data with an empty stream (FF D9 FF D8), which is
// dropped; DefineBits takes its tables from the movie's JPEGTables tag.
std::optional<Bytes> jpegStream(const SWFFile& movie, const SWFJpegImage& image, ByteSpan& alphaData) {
    ByteSpan data = image.body().subspan(std::min<std::size_t>(2, image.body().size()));
    if (image.code() == TagCode::DefineBitsJPEG3 || image.code() == TagCode::DefineBitsJPEG4) {
        ByteReader reader(image.body());
        reader.skip(2);
        const std::uint32_t offset = reader.readU32LE();
        const std::size_t start = image.code() == TagCode::DefineBitsJPEG4 ? 8 : 6;
        if (reader.overrun() || start > image.body().size() || offset > image.body().size() - start) {
            return std::nullopt;
        }
        data = image.body().subspan(start, offset);
        alphaData = image.body().subspan(start + offset);
    }
    if (startsWith(data, {0xFF, 0xD9, 0xFF, 0xD8})) data = data.subspan(4);
    Bytes stream;
    if (image.code() == TagCode::DefineBits) {
        for (const auto& tag : movie.tags()) {
            if (tag->code() != TagCode::JPEGTables) continue;
            stream.assign(tag->body().begin(), tag->body().end());
            if (startsWith(stream, {0xFF, 0xD9, 0xFF, 0xD8})) stream.erase(stream.begin(), stream.begin() + 4);
            break;
        }
    }
    stream.insert(stream.end(), data.begin(), data.end());
    joinStreams(stream);
    return stream;
}

// zlib data inflated to exactly size bytes; nullopt when it holds fewer.
std::optional<Bytes> inflated(ByteSpan data, std::uint64_t size) {
    Bytes out(size);
    uLongf length = static_cast<uLongf>(size);
    const int result = ::uncompress(out.data(), &length, data.data(), static_cast<uLong>(data.size()));
    // A stream longer than the pixels is read as far as they go (BUF_ERROR).
    if ((result != Z_OK && result != Z_BUF_ERROR) || length != size) return std::nullopt;
    return out;
}

// The decoded colours with the bitmap's alpha channel, one byte per pixel of the full
// picture: each pixel of a picture decoded smaller takes the value of the full one it
// starts at. The colours stay as they are without a readable channel.
PicturePixels withAlpha(PicturePixels colours, ByteSpan alphaData, std::uint32_t fullWidth, std::uint32_t fullHeight) {
    const auto alpha = inflated(alphaData, std::uint64_t{fullWidth} * fullHeight);
    if (!alpha || fullWidth == 0 || fullHeight == 0) return colours;
    PicturePixels out{colours.width, colours.height, 4, false, {}};
    out.samples.resize(out.rowBytes() * out.height);
    const std::uint8_t* in = colours.samples.data();
    std::uint8_t* px = out.samples.data();
    for (std::uint32_t y = 0; y < out.height; ++y) {
        const std::uint64_t sourceRow = std::uint64_t{y} * fullHeight / out.height * fullWidth;
        for (std::uint32_t x = 0; x < out.width; ++x, in += colours.channels, px += 4) {
            for (int c = 0; c < 3; ++c) px[c] = in[colours.channels == 1 ? 0 : c];
            px[3] = (*alpha)[sourceRow + std::uint64_t{x} * fullWidth / out.width];
        }
    }
    return out;
}

// Decoded at the smallest of libjpeg's scales that keeps the longer side at least
// `least` pixels.
Result<PicturePixels> decodeJpegImage(const SWFFile& movie, const SWFJpegImage& image, std::uint32_t least) {
    ByteSpan alphaData;
    const auto stream = jpegStream(movie, image, alphaData);
    if (!stream) return Report::failure("the JPEG bitmap's alpha offset lies outside it");
    if (!startsWith(*stream, {0xFF, 0xD8})) return Report::failure("the bitmap holds no JPEG data");
    const auto header = readJpegHeader(*stream);
    if (!header) return Report::failure("the JPEG data cannot be decoded");
    if (!pictureFits(header->width, header->height)) {
        return Report::failure("the JPEG picture is larger than players show");
    }
    const double scale = static_cast<double>(least) / std::max(header->width, header->height);
    auto colours = decodeJpegPixels(*stream, std::min(1.0, scale));
    if (!colours) return Report::failure("the JPEG data cannot be decoded");
    if (alphaData.empty()) return std::move(*colours);
    return withAlpha(std::move(*colours), alphaData, image.width(), image.height());
}

// The picture scaled down, aspect kept, so that its longer side is at most longestSide.
std::optional<PicturePixels> scaledDown(const PicturePixels& pixels, std::uint32_t longestSide) {
    const std::uint32_t longer = std::max(pixels.width, pixels.height);
    if (longer <= longestSide) return pixels;
    FitPlan plan;
    plan.width =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::uint64_t{pixels.width} * longestSide / longer));
    plan.height =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::uint64_t{pixels.height} * longestSide / longer));
    plan.placeWidth = plan.width;
    plan.placeHeight = plan.height;
    return scaledPixels(pixels, plan);
}

// Straight RGBA, as a PNG holds it.
Bytes straightRgba(const PicturePixels& pixels) {
    const std::size_t count = std::size_t{pixels.width} * pixels.height;
    Bytes rgba(count * 4);
    const std::uint8_t* in = pixels.samples.data();
    std::uint8_t* out = rgba.data();
    for (std::size_t i = 0; i < count; ++i, in += pixels.channels, out += 4) {
        const std::uint8_t a = pixels.channels == 4 ? in[3] : 255;
        for (int c = 0; c < 3; ++c) {
            const std::uint8_t value = in[pixels.channels == 1 ? 0 : c];
            if (!pixels.premultiplied || pixels.channels != 4) {
                out[c] = value;
            } else {
                out[c] = a == 0 ? 0 : static_cast<std::uint8_t>(std::min(255, value * 255 / a));
            }
        }
        out[3] = a;
    }
    return rgba;
}

Result<Bytes> encodePng(const PicturePixels& pixels) {
    const Bytes rgba = straightRgba(pixels);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = pixels.width;
    image.height = pixels.height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) {
        return Report::failure(std::string("PNG: ") + image.message);
    }
    Bytes png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr)) {
        return Report::failure(std::string("PNG: ") + image.message);
    }
    png.resize(size);
    return png;
}

}  // namespace

Result<Bytes> pictureThumbnail(const SWFFile& movie, const SWFImage& image, std::uint32_t longestSide) {
    Result<PicturePixels> pixels = Report::failure("the bitmap is of no kind that can be decoded");
    if (const auto* lossless = dynamic_cast<const SWFLosslessImage*>(&image)) {
        if (auto decoded = losslessPixels(*lossless)) {
            pixels = std::move(*decoded);
        } else {
            pixels = Report::failure("the lossless bitmap has no size players show or cannot be inflated");
        }
    } else if (const auto* jpeg = dynamic_cast<const SWFJpegImage*>(&image)) {
        pixels = decodeJpegImage(movie, *jpeg, longestSide);
    }
    if (!pixels) return pixels.report();
    const auto small = scaledDown(*pixels, longestSide);
    if (!small) return Report::failure("the picture does not fit in memory to be scaled");
    return encodePng(*small);
}

}  // namespace tarvenox
