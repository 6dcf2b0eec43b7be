// The pixels of DefineBitsLossless and DefineBitsLossless2 tags, read and written.
#include "picture/LosslessPixels.h"

#include <zlib.h>

#include <new>

#include "common/ByteWriter.h"
#include "picture/PictureLimits.h"
#include "swf/Deflate.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t kColorTable = 3;
constexpr std::uint8_t kHighColor = 4;
constexpr std::uint8_t kTrueColor = 5;

// The zlib stream inflated to exactly size bytes; nullopt when it gives another size.
std::optional<Bytes> inflated(ByteSpan stream, std::size_t size) {
    Bytes out;
    try {
        out.resize(size);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    uLongf length = static_cast<uLongf>(size);
    const int result = uncompress(out.data(), &length, stream.data(), static_cast<uLong>(stream.size()));
    if ((result != Z_OK && result != Z_BUF_ERROR) || length != size) return std::nullopt;
    return out;
}

}  // namespace

std::optional<PicturePixels> losslessPixels(const SWFLosslessImage& image) {
    const ByteSpan body = image.body();
    const std::uint32_t width = image.width();
    const std::uint32_t height = image.height();
    const std::uint8_t format = image.bitmapFormat();
    if (!pictureFits(width, height) || format < kColorTable || format > kTrueColor) return std::nullopt;
    const bool alpha = image.code() == TagCode::DefineBitsLossless2;
    if (alpha && format == kHighColor) return std::nullopt;
    PicturePixels out{width, height, alpha ? 4 : 3, alpha, {}};
    const std::size_t pixels = std::size_t{width} * height;
    if (format == kHighColor) {
        // Rows of big-endian 0RRRRRGG GGGBBBBB, padded to 4 bytes.
        const std::size_t stride = (std::size_t{width} * 2 + 3) / 4 * 4;
        auto data = inflated(body.subspan(7), stride * height);
        if (!data) return std::nullopt;
        out.samples.resize(out.rowBytes() * height);
        std::uint8_t* px = out.samples.data();
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::uint8_t* row = data->data() + y * stride;
            for (std::uint32_t x = 0; x < width; ++x, px += 3) {
                const unsigned value = (unsigned{row[x * 2]} << 8) | row[x * 2 + 1];
                for (int c = 0; c < 3; ++c) {
                    px[c] = static_cast<std::uint8_t>(((value >> (10 - 5 * c)) & 31) * 255 / 31);
                }
            }
        }
        return out;
    }
    if (format == kTrueColor) {
        auto data = inflated(body.subspan(7), pixels * 4);
        if (!data) return std::nullopt;
        out.samples.resize(out.rowBytes() * height);
        const std::uint8_t* in = data->data();
        std::uint8_t* px = out.samples.data();
        // Alpha (or the reserved byte), red, green, blue.
        for (std::size_t i = 0; i < pixels; ++i, in += 4, px += out.channels) {
            px[0] = in[1];
            px[1] = in[2];
            px[2] = in[3];
            if (alpha) px[3] = in[0];
        }
        return out;
    }
    if (body.size() < 8) return std::nullopt;
    const std::size_t entries = std::size_t{body[7]} + 1;
    const std::size_t entryBytes = alpha ? 4 : 3;
    const std::size_t stride = (std::size_t{width} + 3) / 4 * 4;
    auto data = inflated(body.subspan(8), entries * entryBytes + stride * height);
    if (!data) return std::nullopt;
    out.samples.resize(out.rowBytes() * height);
    const std::uint8_t* table = data->data();
    std::uint8_t* px = out.samples.data();
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* indices = table + entries * entryBytes + y * stride;
        for (std::uint32_t x = 0; x < width; ++x, px += out.channels) {
            // An index past the table shows transparent black, as players draw it.
            const std::size_t index = indices[x];
            for (int c = 0; c < out.channels; ++c) {
                px[c] = index < entries ? table[index * entryBytes + static_cast<std::size_t>(c)] : 0;
            }
        }
    }
    return out;
}

std::unique_ptr<SWFLosslessImage> losslessImageFromPixels(const PicturePixels& pixels) {
    const bool alpha = pixels.channels == 4;
    const std::size_t count = std::size_t{pixels.width} * pixels.height;
    Bytes argb(count * 4);
    const std::uint8_t* in = pixels.samples.data();
    std::uint8_t* out = argb.data();
    for (std::size_t i = 0; i < count; ++i, in += pixels.channels, out += 4) {
        const bool grey = pixels.channels == 1;
        const std::uint8_t a = alpha ? in[3] : 0;  // without alpha, the format's reserved 0
        const auto colour = [&](std::uint8_t value) {
            return alpha && !pixels.premultiplied ? static_cast<std::uint8_t>((value * a + 127) / 255) : value;
        };
        out[0] = a;
        out[1] = colour(in[0]);
        out[2] = colour(in[grey ? 0 : 1]);
        out[3] = colour(in[grey ? 0 : 2]);
    }
    Bytes body;
    writeUI16(body, 0);
    body.push_back(kTrueColor);
    writeUI16(body, static_cast<std::uint16_t>(pixels.width));
    writeUI16(body, static_cast<std::uint16_t>(pixels.height));
    const Bytes stream = zlibCompress(argb);
    body.insert(body.end(), stream.begin(), stream.end());
    return std::make_unique<SWFLosslessImage>(alpha ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless,
                                              std::move(body));
}

}  // namespace tarvenox
