// A small PNG picture of a movie's bitmap.
#include "edit/PictureThumbnail.h"

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "common/ByteReader.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

namespace {

// Pictures larger than players show are not decoded (the SWF file format's limit).
constexpr std::uint64_t kMostPixels = 16'777'215;

// Straight (not premultiplied) RGBA pixels, row by row.
struct Pixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

// zlib data inflated to exactly size bytes; nullopt when it holds fewer.
std::optional<std::vector<std::uint8_t>> inflated(ByteSpan data, std::uint64_t size) {
    std::vector<std::uint8_t> out(size);
    uLongf length = static_cast<uLongf>(size);
    const int result = ::uncompress(out.data(), &length, data.data(), static_cast<uLong>(data.size()));
    // A stream longer than the pixels is read as far as they go (BUF_ERROR).
    if ((result != Z_OK && result != Z_BUF_ERROR) || length != size) return std::nullopt;
    return out;
}

std::uint8_t unpremultiplied(std::uint8_t color, std::uint8_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<std::uint8_t>(std::min(255, color * 255 / alpha));
}

// DefineBitsLossless and DefineBitsLossless2: the colour table and the rows of a
// palette picture, or the rows of 15-bit or 32-bit pixels, each row padded to 4 bytes;
// DefineBitsLossless2's colours are premultiplied by their alpha.
Result<Pixels> decodeLossless(const SWFLosslessImage& image) {
    ByteReader reader(image.body());
    reader.skip(2);
    const std::uint8_t format = reader.readU8();
    Pixels pixels;
    pixels.width = reader.readU16LE();
    pixels.height = reader.readU16LE();
    const std::uint32_t tableSize = format == 3 ? reader.readU8() + 1U : 0;
    if (reader.overrun()) return Report::failure("the bitmap's header is cut short");
    const std::uint64_t count = std::uint64_t{pixels.width} * pixels.height;
    if (count == 0 || count > kMostPixels) return Report::failure("the bitmap has no size players show");
    const bool alpha = image.code() == TagCode::DefineBitsLossless2;
    const std::uint32_t entry = alpha ? 4 : 3;
    std::uint64_t rowBytes = 0;
    switch (format) {
        case 3: rowBytes = (pixels.width + 3ULL) & ~3ULL; break;
        case 4: rowBytes = (pixels.width * 2ULL + 3ULL) & ~3ULL; break;
        case 5: rowBytes = pixels.width * 4ULL; break;
        default: return Report::failure("bitmap format " + std::to_string(format) + " is unknown");
    }
    const std::uint64_t tableBytes = std::uint64_t{tableSize} * entry;
    const auto data = inflated(image.body().subspan(reader.position()), tableBytes + rowBytes * pixels.height);
    if (!data) return Report::failure("the bitmap's pixels cannot be inflated");
    pixels.rgba.resize(count * 4);
    for (std::uint32_t y = 0; y < pixels.height; ++y) {
        const std::uint8_t* row = data->data() + tableBytes + rowBytes * y;
        for (std::uint32_t x = 0; x < pixels.width; ++x) {
            std::uint8_t* out = &pixels.rgba[(std::uint64_t{y} * pixels.width + x) * 4];
            if (format == 3) {
                const std::uint32_t index = row[x];
                if (index >= tableSize) {
                    std::fill(out, out + 4, 0);
                    continue;
                }
                const std::uint8_t* color = data->data() + index * entry;
                const std::uint8_t a = alpha ? color[3] : 255;
                for (int c = 0; c < 3; ++c) out[c] = alpha ? unpremultiplied(color[c], a) : color[c];
                out[3] = a;
            } else if (format == 4) {
                const unsigned value = (row[x * 2] << 8) | row[x * 2 + 1];
                out[0] = static_cast<std::uint8_t>(((value >> 10) & 31) * 255 / 31);
                out[1] = static_cast<std::uint8_t>(((value >> 5) & 31) * 255 / 31);
                out[2] = static_cast<std::uint8_t>((value & 31) * 255 / 31);
                out[3] = 255;
            } else {
                const std::uint8_t* argb = row + x * 4;
                const std::uint8_t a = alpha ? argb[0] : 255;
                for (int c = 0; c < 3; ++c) out[c] = alpha ? unpremultiplied(argb[c + 1], a) : argb[c + 1];
                out[3] = a;
            }
        }
    }
    return pixels;
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpegFailed(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr, int) {}

// Decodes a JPEG stream to RGB at the smallest scale of 1/1 to 1/8 that keeps the
// longer side at least least pixels.
Result<Pixels> decodeJpegStream(const std::vector<std::uint8_t>& jpeg, std::uint32_t least) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFailed;
    error.manager.emit_message = jpegQuiet;
    // Everything with a destructor is made before setjmp: a longjmp back to it must
    // skip none.
    Pixels pixels;
    std::vector<std::uint8_t> rgb;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return Report::failure("the JPEG data cannot be decoded");
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    if (std::uint64_t{info.image_width} * info.image_height > kMostPixels) {
        jpeg_destroy_decompress(&info);
        return Report::failure("the JPEG picture is larger than players show");
    }
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = 1;
    const std::uint32_t longer = std::max(info.image_width, info.image_height);
    while (info.scale_denom < 8 && longer / (info.scale_denom * 2) >= least) info.scale_denom *= 2;
    jpeg_start_decompress(&info);
    rgb.resize(std::uint64_t{info.output_width} * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + std::uint64_t{info.output_scanline} * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    pixels.width = info.output_width;
    pixels.height = info.output_height;
    jpeg_destroy_decompress(&info);
    pixels.rgba.resize(std::uint64_t{pixels.width} * pixels.height * 4);
    for (std::uint64_t i = 0; i < std::uint64_t{pixels.width} * pixels.height; ++i) {
        std::memcpy(&pixels.rgba[i * 4], &rgb[i * 3], 3);
        pixels.rgba[i * 4 + 3] = 255;
    }
    return pixels;
}

bool startsWith(ByteSpan data, std::initializer_list<std::uint8_t> prefix) {
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// The stream joined into one: every end and start of image (FF D9, FF D8) before the
// first scan is dropped. Tools write the tables and the picture as two streams one after
// the other, in DefineBitsJPEG2 and between JPEGTables and DefineBits; a decoder would
// stop at the first end. Segments are walked by their lengths, so no byte of a table is
// taken for a marker.
void joinStreams(std::vector<std::uint8_t>& stream) {
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
std::optional<std::vector<std::uint8_t>> jpegStream(const SWFFile& movie, const SWFJpegImage& image,
                                                    ByteSpan& alphaData) {
    ByteSpan data = image.body().subspan(2);
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
    std::vector<std::uint8_t> stream;
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

Result<Pixels> decodeJpegImage(const SWFFile& movie, const SWFJpegImage& image, std::uint32_t least) {
    ByteSpan alphaData;
    const auto stream = jpegStream(movie, image, alphaData);
    if (!stream) return Report::failure("the JPEG bitmap's alpha offset lies outside it");
    if (!startsWith(*stream, {0xFF, 0xD8})) return Report::failure("the bitmap holds no JPEG data");
    auto decoded = decodeJpegStream(*stream, least);
    if (!decoded || alphaData.empty()) return decoded;
    // The alpha channel has one byte per pixel of the full picture; each scaled pixel
    // takes the value of the full one it starts at.
    const std::uint32_t fullWidth = image.width(), fullHeight = image.height();
    const auto alpha = inflated(alphaData, std::uint64_t{fullWidth} * fullHeight);
    if (!alpha || fullWidth == 0 || fullHeight == 0) return decoded;
    Pixels& pixels = *decoded;
    for (std::uint32_t y = 0; y < pixels.height; ++y) {
        for (std::uint32_t x = 0; x < pixels.width; ++x) {
            const std::uint64_t source =
                std::uint64_t{y} * fullHeight / pixels.height * fullWidth + std::uint64_t{x} * fullWidth / pixels.width;
            pixels.rgba[(std::uint64_t{y} * pixels.width + x) * 4 + 3] = (*alpha)[source];
        }
    }
    return decoded;
}

// The picture scaled down by averaging the pixels each new pixel covers (weighted by
// alpha, so that transparent pixels lend no colour).
Pixels scaledDown(const Pixels& pixels, std::uint32_t longestSide) {
    const std::uint32_t longer = std::max(pixels.width, pixels.height);
    if (longer <= longestSide) return pixels;
    Pixels out;
    out.width =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::uint64_t{pixels.width} * longestSide / longer));
    out.height =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::uint64_t{pixels.height} * longestSide / longer));
    out.rgba.resize(std::uint64_t{out.width} * out.height * 4);
    for (std::uint32_t y = 0; y < out.height; ++y) {
        const std::uint32_t y0 = static_cast<std::uint32_t>(std::uint64_t{y} * pixels.height / out.height);
        const std::uint32_t y1 =
            std::max(y0 + 1, static_cast<std::uint32_t>(std::uint64_t{y + 1} * pixels.height / out.height));
        for (std::uint32_t x = 0; x < out.width; ++x) {
            const std::uint32_t x0 = static_cast<std::uint32_t>(std::uint64_t{x} * pixels.width / out.width);
            const std::uint32_t x1 =
                std::max(x0 + 1, static_cast<std::uint32_t>(std::uint64_t{x + 1} * pixels.width / out.width));
            std::uint64_t sum[4] = {};
            for (std::uint32_t sy = y0; sy < y1; ++sy) {
                for (std::uint32_t sx = x0; sx < x1; ++sx) {
                    const std::uint8_t* p = &pixels.rgba[(std::uint64_t{sy} * pixels.width + sx) * 4];
                    for (int c = 0; c < 3; ++c) sum[c] += std::uint64_t{p[c]} * p[3];
                    sum[3] += p[3];
                }
            }
            std::uint8_t* o = &out.rgba[(std::uint64_t{y} * out.width + x) * 4];
            const std::uint64_t area = std::uint64_t{x1 - x0} * (y1 - y0);
            for (int c = 0; c < 3; ++c) o[c] = sum[3] == 0 ? 0 : static_cast<std::uint8_t>(sum[c] / sum[3]);
            o[3] = static_cast<std::uint8_t>(sum[3] / area);
        }
    }
    return out;
}

Result<Bytes> encodePng(const Pixels& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = pixels.width;
    image.height = pixels.height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.rgba.data(), 0, nullptr)) {
        return Report::failure(std::string("PNG: ") + image.message);
    }
    Bytes png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.rgba.data(), 0, nullptr)) {
        return Report::failure(std::string("PNG: ") + image.message);
    }
    png.resize(size);
    return png;
}

}  // namespace

Result<Bytes> pictureThumbnail(const SWFFile& movie, const SWFImage& image, std::uint32_t longestSide) {
    Result<Pixels> pixels = Report::failure("the bitmap is of no kind that can be decoded");
    if (const auto* lossless = dynamic_cast<const SWFLosslessImage*>(&image)) {
        pixels = decodeLossless(*lossless);
    } else if (const auto* jpeg = dynamic_cast<const SWFJpegImage*>(&image)) {
        pixels = decodeJpegImage(movie, *jpeg, longestSide);
    }
    if (!pixels) return pixels.report();
    return encodePng(scaledDown(*pixels, longestSide));
}

}  // namespace tarvenox
